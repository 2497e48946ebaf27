#include "cli/stop_signals.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tvx {
namespace {

std::atomic<bool> g_stopping{false};

#ifdef _WIN32

StopSignals* g_instance = nullptr;

// Runs on a thread of its own that the console starts: the request is queued to the event loop.
BOOL WINAPI console_handler(DWORD event) {
    int signal = SIGTERM;
    if (event == CTRL_C_EVENT) {
        signal = SIGINT;
    } else if (event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    if (g_stopping.exchange(true)) {
        if (signal == SIGINT) ExitProcess(StopSignals::exit_status(SIGINT));
        return TRUE;
    }
    if (g_instance) {
        QMetaObject::invokeMethod(
            g_instance, [signal] { emit g_instance->stop_requested(signal); }, Qt::QueuedConnection);
    }
    return TRUE;
}

#else

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only what is safe in a handler: an atomic flag, write() and _exit().
extern "C" void on_signal(int signal) {
    if (g_stopping.exchange(true)) {
        if (signal == SIGINT) _exit(StopSignals::exit_status(SIGINT));
        return;
    }
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = saved;
}

#endif

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    g_stopping = false;
#ifdef _WIN32
    g_instance = this;
    // A parent that ignores Ctrl+C passes that on to its children: this run takes it back, as a Ctrl+C
    // must end a run with its report.
    SetConsoleCtrlHandler(nullptr, FALSE);
    installed_ = SetConsoleCtrlHandler(console_handler, TRUE) != 0;
#else
    if (pipe(g_pipe) != 0) return;
    for (const int fd : g_pipe) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::on_readable);
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = true;
    for (const int signal : kSignals) installed_ = sigaction(signal, &action, nullptr) == 0 && installed_;
#endif
}

StopSignals::~StopSignals() {
#ifdef _WIN32
    SetConsoleCtrlHandler(console_handler, FALSE);
    g_instance = nullptr;
#else
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) sigaction(signal, &action, nullptr);
    delete notifier_;
    notifier_ = nullptr;
    for (int& fd : g_pipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
#endif
}

void StopSignals::on_readable() {
#ifndef _WIN32
    unsigned char byte = 0;
    while (read(g_pipe[0], &byte, 1) == 1) emit stop_requested(byte);
#endif
}

}  // namespace tvx
