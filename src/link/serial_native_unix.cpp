// The termios side of the serial port settings.
#ifndef _WIN32

#include <QSerialPort>
#include <string>

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include "link/serial_native.h"

namespace tvx {
namespace {

constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

int open_descriptor(QSerialPort& port) {
    return port.isOpen() ? static_cast<int>(port.handle()) : -1;
}

}  // namespace

bool set_native_queues(QSerialPort& port, int, int) {
    // A tty's queues are the kernel's and cannot be sized; the port only has to be there.
    return open_descriptor(port) >= 0;
}

bool set_native_timeouts(QSerialPort& port) {
    const int fd = open_descriptor(port);
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) return false;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    // A tty has no write time-out: writes are non-blocking and queued by QSerialPort instead.
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

NativeLine set_native_line_extras(QSerialPort& port) {
    const int fd = open_descriptor(port);
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) return NativeLine::kRefused;
    tio.c_cflag |= CRTSCTS;
    tio.c_iflag |= IXON | IXOFF;
    tio.c_iflag &= ~(IXANY | INPCK | PARMRK);
    tio.c_cc[VSTART] = kXon;
    tio.c_cc[VSTOP] = kXoff;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return NativeLine::kRefused;

    // tcsetattr succeeds when any part of the change was taken, and some devices quietly drop what they
    // cannot do (a pseudo-terminal clears the parity bit): read back what the port really holds.
    termios held{};
    if (::tcgetattr(fd, &held) != 0) return NativeLine::kRefused;
    const bool line = cfgetospeed(&held) == B38400 && cfgetispeed(&held) == B38400 &&
                      (held.c_cflag & CSIZE) == CS8 && (held.c_cflag & CSTOPB) == 0;
    const bool parity = (held.c_cflag & PARENB) != 0 && (held.c_cflag & PARODD) == 0;
    const bool flow = (held.c_cflag & CRTSCTS) != 0 && (held.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF) &&
                      held.c_cc[VSTART] == kXon && held.c_cc[VSTOP] == kXoff;
    if (!line || !flow) return NativeLine::kRefused;
    return parity ? NativeLine::kHeld : NativeLine::kHeldWithoutParity;
}

bool is_pseudo_terminal(QSerialPort& port) {
    const int fd = open_descriptor(port);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
#ifdef __linux__
    // The subordinate sides of Unix 98 pseudo-terminals have majors 136 to 143.
    return major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143;
#else
    // Elsewhere they are named /dev/ttysNNN (/dev/ttys000 on macOS) or /dev/pts/N.
    const char* name = ::ttyname(fd);
    if (!name) return false;
    const std::string path(name);
    return path.rfind("/dev/pts/", 0) == 0 || (path.rfind("/dev/ttys", 0) == 0 && path.size() > 9 &&
                                               path.find_first_not_of("0123456789", 9) == std::string::npos);
#endif
}

}  // namespace tvx

#endif
