#include "unit/pty_port.h"

#if defined(__unix__) || defined(__APPLE__)
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#define TVX230_HAS_PTY 1
#endif

namespace tvx {

PtyPort::PtyPort(QObject* parent) : QObject(parent) {}

PtyPort::~PtyPort() {
    notifier_.reset();
    write_notifier_.reset();
#ifdef TVX230_HAS_PTY
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
#endif
}

#ifdef TVX230_HAS_PTY

bool PtyPort::open() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    slave_path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no CR LF translation.
    termios settings{};
    if (::tcgetattr(slave_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetspeed(&settings, B38400);
        ::tcsetattr(slave_, TCSANOW, &settings);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PtyPort::on_readable);
    write_notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    write_notifier_->setEnabled(false);
    connect(write_notifier_.get(), &QSocketNotifier::activated, this, &PtyPort::flush);
    return true;
}

void PtyPort::on_readable() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got > 0) {
            emit received(QByteArray(buffer, static_cast<qsizetype>(got)));
            continue;
        }
        return;  // nothing more for now (EAGAIN), or the slave side is gone for a moment
    }
}

void PtyPort::write(const QByteArray& bytes) {
    if (master_ < 0) return;
    unwritten_ += bytes;
    flush();
}

void PtyPort::flush() {
    while (!unwritten_.isEmpty()) {
        const ssize_t put =
            ::write(master_, unwritten_.constData(), static_cast<std::size_t>(unwritten_.size()));
        if (put > 0) {
            unwritten_.remove(0, static_cast<qsizetype>(put));
        } else if (put < 0 && errno == EINTR) {
            continue;
        } else if (put < 0 && errno != EAGAIN) {
            unwritten_.clear();  // the terminal is gone
        } else {
            break;
        }
    }
    // Wait for room only while something is left.
    write_notifier_->setEnabled(!unwritten_.isEmpty());
}

#else

bool PtyPort::open() {
    error_ = "pseudo-terminals are not available here";
    return false;
}
void PtyPort::on_readable() {}
void PtyPort::flush() {}
void PtyPort::write(const QByteArray&) {}

#endif

}  // namespace tvx
