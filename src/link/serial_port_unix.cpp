// The serial port on Unix: QSerialPort for the I/O, termios for what QSerialPort cannot express.
#ifndef _WIN32

#include <QFileInfo>
#include <QSerialPort>

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include "link/serial_port.h"

namespace tvx {
namespace {

constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

SerialPort::Failure failure_of(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
            return SerialPort::Failure::kNone;
        case QSerialPort::PermissionError:
            return SerialPort::Failure::kPermission;
        case QSerialPort::DeviceNotFoundError:
            return SerialPort::Failure::kNotFound;
        case QSerialPort::OpenError:
            return SerialPort::Failure::kBusy;
        case QSerialPort::ResourceError:
            return SerialPort::Failure::kResource;
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            return SerialPort::Failure::kReadWrite;
        default:
            return SerialPort::Failure::kOther;
    }
}

}  // namespace

struct SerialPort::Native {
    QSerialPort port;
    int descriptor() const { return port.isOpen() ? static_cast<int>(port.handle()) : -1; }
};

SerialPort::SerialPort(QObject* parent) : QObject(parent), native_(std::make_unique<Native>()) {
    connect(&native_->port, &QSerialPort::readyRead, this, &SerialPort::ready_read);
    connect(&native_->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        const Failure failure = failure_of(error);
        if (failure == Failure::kResource || failure == Failure::kReadWrite) emit failed(failure);
        // Read and write errors are cleared and the port keeps going, as the line may recover.
        if (error != QSerialPort::NoError && native_->port.isOpen()) native_->port.clearError();
    });
}

SerialPort::~SerialPort() {
    native_->port.disconnect(this);
    native_->port.close();
}

bool SerialPort::open(const std::string& device) {
    close();
    failure_ = Failure::kNone;
    // A full path, since pseudo-terminals and adapters are not in the list of known ports.
    native_->port.setPortName(QString::fromStdString(device));
    if (device.empty()) {
        failure_ = Failure::kNotFound;
        return false;
    }
    if (!native_->port.open(QIODevice::ReadWrite)) {
        failure_ = failure_of(native_->port.error());
        if (failure_ == Failure::kNone) failure_ = Failure::kOther;
        return false;
    }
    return true;
}

void SerialPort::close() {
    if (native_->port.isOpen()) native_->port.close();
}

bool SerialPort::is_open() const {
    return native_->port.isOpen();
}

bool SerialPort::set_queues(int, int) {
    // A tty's queues are the kernel's and cannot be sized; the port only has to be there.
    return native_->descriptor() >= 0;
}

bool SerialPort::set_timeouts() {
    const int fd = native_->descriptor();
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) return false;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    // A tty has no write time-out: writes are non-blocking and queued by QSerialPort instead.
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

SerialPort::LineHeld SerialPort::set_line() {
    QSerialPort& port = native_->port;
    // Every setter is tried even after one fails, so the port holds as much of the line as it can take.
    bool line = port.isOpen();
    line = port.setBaudRate(QSerialPort::Baud38400) && line;
    line = port.setDataBits(QSerialPort::Data8) && line;
    const bool parity_set = port.setParity(QSerialPort::EvenParity);
    line = port.setStopBits(QSerialPort::OneStop) && line;
    line = port.setFlowControl(QSerialPort::HardwareControl) && line;
    // A refused setter leaves its error behind; the port is still usable.
    if (port.isOpen()) port.clearError();

    // QSerialPort's setters rewrite the line from their own copy, so XON/XOFF on top of RTS/CTS goes on
    // the descriptor afterwards.
    const int fd = native_->descriptor();
    termios tio{};
    if (!line || fd < 0 || ::tcgetattr(fd, &tio) != 0) return LineHeld::kRefused;
    tio.c_cflag |= CRTSCTS;
    tio.c_iflag |= IXON | IXOFF;
    tio.c_iflag &= ~(IXANY | INPCK | PARMRK);
    tio.c_cc[VSTART] = kXon;
    tio.c_cc[VSTOP] = kXoff;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return LineHeld::kRefused;

    // tcsetattr succeeds when any part of the change was taken, and some devices quietly drop what they
    // cannot do (a pseudo-terminal clears the parity bit): read back what the port really holds.
    termios held{};
    if (::tcgetattr(fd, &held) != 0) return LineHeld::kRefused;
    const bool speed = cfgetospeed(&held) == B38400 && cfgetispeed(&held) == B38400 &&
                       (held.c_cflag & CSIZE) == CS8 && (held.c_cflag & CSTOPB) == 0;
    const bool parity = (held.c_cflag & PARENB) != 0 && (held.c_cflag & PARODD) == 0;
    const bool flow = (held.c_cflag & CRTSCTS) != 0 && (held.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF) &&
                      held.c_cc[VSTART] == kXon && held.c_cc[VSTOP] == kXoff;
    if (!speed || !flow) return LineHeld::kRefused;
    return parity && parity_set ? LineHeld::kHeld : LineHeld::kHeldWithoutParity;
}

bool SerialPort::is_pseudo_terminal() const {
    const int fd = native_->descriptor();
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

void SerialPort::set_read_limit(std::size_t bytes) {
    native_->port.setReadBufferSize(static_cast<qint64>(bytes));
}

void SerialPort::write(const char* data, std::size_t size) {
    // QSerialPort copies the bytes into its own write queue, so nothing has to outlive the call.
    native_->port.write(data, static_cast<qint64>(size));
}

QByteArray SerialPort::read_all() {
    return native_->port.readAll();
}

std::size_t SerialPort::bytes_available() const {
    return static_cast<std::size_t>(native_->port.bytesAvailable());
}

std::size_t SerialPort::bytes_to_write() const {
    return static_cast<std::size_t>(native_->port.bytesToWrite());
}

bool SerialPort::device_present(const std::string& device) {
    return !device.empty() && QFileInfo::exists(QString::fromStdString(device));
}

}  // namespace tvx

#endif
