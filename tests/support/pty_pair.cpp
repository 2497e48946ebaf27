#include "support/pty_pair.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>

#ifdef _WIN32
// Windows has no pseudo-terminals: the pair never opens, and the tests that need one skip (TVX_NEEDS_PTY).
namespace tvx::testing {
PtyPair::PtyPair() = default;
PtyPair::~PtyPair() = default;
bool PtyPair::write(std::string_view) {
    return false;
}
std::string PtyPair::read(std::size_t, std::chrono::milliseconds) {
    return {};
}
std::string PtyPair::read_for(std::chrono::milliseconds) {
    return {};
}
int PtyPair::unread_by_slave() const {
    return 0;
}
void PtyPair::close_master() {}
}  // namespace tvx::testing
#else

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tvx::testing {
namespace {

using Clock = std::chrono::steady_clock;

void make_raw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return;
    ::cfmakeraw(&tio);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &tio);
}

void pump_events() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

PtyPair::PtyPair() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    slave_path_ = name;
    make_raw(slave_);
    make_raw(master_);
}

PtyPair::~PtyPair() {
    close_master();
    if (slave_ >= 0) ::close(slave_);
}

bool PtyPair::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string PtyPair::read(std::size_t count, std::chrono::milliseconds deadline) {
    std::string out;
    const auto until = Clock::now() + deadline;
    while (out.size() < count && master_ >= 0) {
        pump_events();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() < 0) break;
        // Short slices, so the event loop keeps running while the bytes are on their way.
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 5)));
        if (ready <= 0 || (p.revents & POLLIN) == 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - out.size()));
        if (n > 0) out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

std::string PtyPair::read_for(std::chrono::milliseconds deadline) {
    return read(static_cast<std::size_t>(-1) / 2, deadline);
}

int PtyPair::unread_by_slave() const {
    int queued = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &queued) != 0) return -1;
    return queued;
}

void PtyPair::close_master() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

}  // namespace tvx::testing

#endif
