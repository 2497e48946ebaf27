// The termios side of the serial port settings.
#ifndef _WIN32

#include <QSerialPort>

#include <termios.h>

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

bool set_native_line_extras(QSerialPort& port) {
    const int fd = open_descriptor(port);
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) return false;
    tio.c_cflag |= CRTSCTS;
    tio.c_iflag |= IXON | IXOFF;
    tio.c_iflag &= ~(IXANY | INPCK | PARMRK);
    tio.c_cc[VSTART] = kXon;
    tio.c_cc[VSTOP] = kXoff;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return false;

    // tcsetattr succeeds when any part of the change was taken, and some devices quietly drop what they
    // cannot do (a pseudo-terminal clears the parity bit): read back what the port really holds.
    termios held{};
    if (::tcgetattr(fd, &held) != 0) return false;
    const bool line = cfgetospeed(&held) == B38400 && cfgetispeed(&held) == B38400 &&
                      (held.c_cflag & CSIZE) == CS8 && (held.c_cflag & PARENB) != 0 &&
                      (held.c_cflag & PARODD) == 0 && (held.c_cflag & CSTOPB) == 0;
    const bool flow = (held.c_cflag & CRTSCTS) != 0 && (held.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF) &&
                      held.c_cc[VSTART] == kXon && held.c_cc[VSTOP] == kXoff;
    return line && flow;
}

}  // namespace tvx

#endif
