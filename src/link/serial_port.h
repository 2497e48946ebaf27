#pragma once

#include <QByteArray>
#include <QObject>
#include <cstddef>
#include <memory>
#include <string>

namespace tvx {

// The serial device under the link, with the settings the unit's line needs. On Unix QSerialPort and
// termios do the work. On Windows the port is opened for overlapped I/O and a thread of its own waits
// for received characters and writes, as the communication driver reports them (event waits rather than
// a completion port: some emulations of the driver never post a received character to a completion port).
// Everything the owner sees arrives on the thread that made the port, through ready_read and failed.
class SerialPort : public QObject {
    Q_OBJECT

  public:
    enum class Failure {
        kNone,
        kPermission,  // the device is there, but this user may not open it
        kNotFound,    // no such device
        kBusy,        // another program holds it
        kResource,    // the device went away while open (an adapter pulled out)
        kReadWrite,   // a read or write failed; the port is still open
        kOther,
    };
    // What the port holds after set_line.
    enum class LineHeld {
        kHeld,               // every setting the line needs
        kHeldWithoutParity,  // all of them but even parity, which the device dropped (a pseudo-terminal)
        kRefused,            // anything else missing, or the port not open
    };

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // Opens the device for reading and writing, exclusively. On failure failure() says why.
    bool open(const std::string& device);
    // Lets the device go; nothing is signalled after this returns.
    void close();
    bool is_open() const;
    Failure failure() const { return failure_; }

    // The driver's input and output queues, where the platform lets them be sized.
    bool set_queues(int input_bytes, int output_bytes);
    // A read hands over at once what is queued; a write is given up after 1000 ms.
    bool set_timeouts();
    // 38400 baud, 8 data bits, even parity, one stop bit, no input parity check, hardware (RTS/CTS and
    // DTR) and XON/XOFF flow control at once, XON 0x11, XOFF 0x13, limits of 256 bytes.
    LineHeld set_line();
    // True for a pseudo-terminal (the virtual unit, a test bench): a stand-in, never a real line.
    bool is_pseudo_terminal() const;
    // At most this many received bytes are held for the owner; reading waits while they are.
    void set_read_limit(std::size_t bytes);

    // Queues the bytes and returns; they go out in order.
    void write(const char* data, std::size_t size);
    // Every received byte not read yet.
    QByteArray read_all();
    std::size_t bytes_available() const;
    // Bytes written but not yet taken by the device.
    std::size_t bytes_to_write() const;

    // Whether a device of that name is there to be opened (an unplugged adapter is not).
    static bool device_present(const std::string& device);

  signals:
    void ready_read();
    // A failure in use: kResource when the device went away, kReadWrite for a failed read or write.
    void failed(SerialPort::Failure failure);

  private:
    struct Native;
    std::unique_ptr<Native> native_;
    Failure failure_ = Failure::kNone;
};

}  // namespace tvx
