// The serial port on Windows: the communication driver through overlapped I/O, and one thread that keeps
// a read in place (handed over when characters came and the line paused) and writes what the owner
// queued. It waits on events, never on a completion port, and never on a character event: some
// emulations of the driver complete a character wait without posting it to a completion port, or only
// tens of milliseconds after the character came, where a read in place completes at once.
#ifdef _WIN32

#include <QMetaObject>
#include <QSerialPortInfo>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include <windows.h>

#include "config/path_text.h"
#include "link/serial_port.h"

namespace tvx {
namespace {

// One read takes at most this much, as the driver's queue is sized.
constexpr DWORD kReadChunk = 1024;
// The pause on the line after which a read hands over what it has.
constexpr DWORD kReadIntervalMs = 1;
// Failed reads in a row after which the device counts as gone.
constexpr int kFailuresToGiveUp = 3;
// Reads ended by a cancel in a row (a millisecond apart) after which the device counts as gone.
constexpr int kAbortsToGiveUp = 2000;

std::wstring device_path(const std::string& device) {
    // "COM10" and above are reached only through the device namespace; "COM1" works either way.
    return path_from_utf8(device.rfind("\\\\.\\", 0) == 0 ? device : "\\\\.\\" + device).wstring();
}

// Errors with which the driver says that the device itself is gone.
bool device_gone(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_BAD_COMMAND || error == ERROR_DEVICE_REMOVED ||
           error == ERROR_GEN_FAILURE || error == ERROR_INVALID_HANDLE || error == ERROR_FILE_NOT_FOUND ||
           error == ERROR_DEVICE_NOT_CONNECTED;
}

struct Overlapped {
    OVERLAPPED record{};
    Overlapped() { record.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() {
        if (record.hEvent) ::CloseHandle(record.hEvent);
    }
    void rearm() {
        HANDLE event = record.hEvent;
        record = OVERLAPPED{};
        record.hEvent = event;
        ::ResetEvent(event);
    }
};

}  // namespace

struct SerialPort::Native {
    SerialPort* owner = nullptr;
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);  // new bytes to write, room to read, stop
    std::thread io;
    std::atomic<bool> stopping{false};
    std::atomic<unsigned> session{0};  // a notice of an earlier opening is dropped

    mutable std::mutex lock;  // guards the two queues below
    QByteArray received;
    QByteArray to_send;
    std::size_t read_limit = 0;
    std::atomic<std::size_t> in_flight{0};  // taken by WriteFile, not yet completed
    std::atomic<bool> ready_posted{false};

    ~Native() {
        if (wake) ::CloseHandle(wake);
    }

    void post_ready(unsigned from) {
        if (ready_posted.exchange(true)) return;
        QMetaObject::invokeMethod(
            owner,
            [this, from] {
                ready_posted = false;
                if (from == session && handle != INVALID_HANDLE_VALUE) emit owner->ready_read();
            },
            Qt::QueuedConnection);
    }
    void post_failure(unsigned from, Failure failure) {
        QMetaObject::invokeMethod(
            owner,
            [this, from, failure] {
                if (from == session && handle != INVALID_HANDLE_VALUE) emit owner->failed(failure);
            },
            Qt::QueuedConnection);
    }

    // How much the next read may bring: what fits under the limit, at most one chunk.
    DWORD room_to_read() const {
        std::lock_guard<std::mutex> guard(lock);
        const std::size_t held = static_cast<std::size_t>(received.size());
        if (read_limit == 0) return kReadChunk;
        return held >= read_limit ? 0
                                  : static_cast<DWORD>(std::min<std::size_t>(kReadChunk, read_limit - held));
    }

    // Takes what a read brought.
    void take(const char* bytes, DWORD count, unsigned from) {
        {
            std::lock_guard<std::mutex> guard(lock);
            received.append(bytes, static_cast<qsizetype>(count));
        }
        post_ready(from);
    }

    void run(unsigned from) {
        Overlapped read_request, write_request;
        char buffer[kReadChunk];
        bool reading = false, writing = false;
        QByteArray writing_bytes;
        int failures = 0, aborted = 0, empty_reads = 0;
        while (!stopping) {
            // One read is always in place while there is room for what it brings: the driver completes
            // it as soon as characters came and the line paused (the interval time-out).
            const DWORD room = reading ? 0 : room_to_read();
            if (room > 0) {
                read_request.rearm();
                if (::ReadFile(handle, buffer, room, nullptr, &read_request.record) != 0 ||
                    ::GetLastError() == ERROR_IO_PENDING) {
                    reading = true;  // done at once or not: the event tells, below
                } else {
                    const DWORD error = ::GetLastError();
                    DWORD errors = 0;
                    ::ClearCommError(handle, &errors, nullptr);
                    if (device_gone(error) || ++failures >= kFailuresToGiveUp) break;
                    ::Sleep(10);
                    continue;
                }
            }
            if (!writing) {
                {
                    std::lock_guard<std::mutex> guard(lock);
                    writing_bytes.swap(to_send);
                    to_send.clear();
                    in_flight = static_cast<std::size_t>(writing_bytes.size());
                }
                if (!writing_bytes.isEmpty()) {
                    write_request.rearm();
                    if (::WriteFile(handle, writing_bytes.constData(),
                                    static_cast<DWORD>(writing_bytes.size()), nullptr,
                                    &write_request.record) != 0 ||
                        ::GetLastError() == ERROR_IO_PENDING) {
                        writing = true;
                    } else {
                        // What the driver refused is gone, as with a write that timed out.
                        const DWORD error = ::GetLastError();
                        in_flight = 0;
                        writing_bytes.clear();
                        if (device_gone(error)) break;
                        post_failure(from, Failure::kReadWrite);
                    }
                }
            }
            HANDLE events[3] = {wake, read_request.record.hEvent, write_request.record.hEvent};
            // Without a read in place (the limit reached), the owner's read wakes the thread; the
            // time-out is only a safety net.
            const DWORD woke =
                ::WaitForMultipleObjects(writing ? 3 : 2, events, FALSE, reading ? INFINITE : 50);
            if (woke == WAIT_OBJECT_0 + 1 && reading) {
                reading = false;
                DWORD got = 0;
                if (::GetOverlappedResult(handle, &read_request.record, &got, FALSE) == 0) {
                    const DWORD error = ::GetLastError();
                    DWORD errors = 0;
                    ::ClearCommError(handle, &errors, nullptr);
                    if (error == ERROR_OPERATION_ABORTED) {
                        // A change of the port's settings may end a read in place; the next one goes on.
                        // Only a port that ends every read at once, for good, counts as gone.
                        if (++aborted > 3) ::Sleep(1);
                        if (aborted < kAbortsToGiveUp) continue;
                    }
                    if (device_gone(error) || ++failures >= kFailuresToGiveUp || aborted >= kAbortsToGiveUp)
                        break;
                    continue;
                }
                failures = 0;
                aborted = 0;
                if (got == 0) {
                    // A read that keeps ending empty would spin.
                    if (++empty_reads > 3) ::Sleep(1);
                    continue;
                }
                empty_reads = 0;
                take(buffer, got, from);
            } else if (woke == WAIT_OBJECT_0 + 2 && writing) {
                DWORD written = 0;
                ::GetOverlappedResult(handle, &write_request.record, &written, FALSE);
                writing = false;
                in_flight = 0;
                writing_bytes.clear();
            } else if (woke == WAIT_FAILED) {
                break;
            }
        }
        // Stopping, or the device is gone: cancel what is in flight and wait until the driver has let go
        // of the buffers.
        ::CancelIo(handle);
        DWORD ignored = 0;
        if (reading) ::GetOverlappedResult(handle, &read_request.record, &ignored, TRUE);
        if (writing) ::GetOverlappedResult(handle, &write_request.record, &ignored, TRUE);
        in_flight = 0;
        if (!stopping) post_failure(from, Failure::kResource);
    }
};

SerialPort::SerialPort(QObject* parent) : QObject(parent), native_(std::make_unique<Native>()) {
    native_->owner = this;
}

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::open(const std::string& device) {
    close();
    failure_ = Failure::kNone;
    if (device.empty()) {
        failure_ = Failure::kNotFound;
        return false;
    }
    const HANDLE handle = ::CreateFileW(device_path(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        failure_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND     ? Failure::kNotFound
                   : error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? Failure::kBusy
                                                                                      : Failure::kOther;
        return false;
    }
    native_->stopping = false;
    {
        std::lock_guard<std::mutex> guard(native_->lock);
        native_->received.clear();
        native_->to_send.clear();
    }
    // The time-outs hold from the first read on: a read started under the driver's own could wait for a
    // full buffer.
    native_->handle = handle;
    set_timeouts();
    const unsigned session = ++native_->session;
    native_->io = std::thread([this, session] { native_->run(session); });
    return true;
}

void SerialPort::close() {
    if (native_->handle == INVALID_HANDLE_VALUE) return;
    native_->stopping = true;
    ::SetEvent(native_->wake);
    if (native_->io.joinable()) native_->io.join();
    ::PurgeComm(native_->handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    ::CloseHandle(native_->handle);
    native_->handle = INVALID_HANDLE_VALUE;
    ++native_->session;  // notices still on their way belong to this opening
    std::lock_guard<std::mutex> guard(native_->lock);
    native_->received.clear();
    native_->to_send.clear();
}

bool SerialPort::is_open() const {
    return native_->handle != INVALID_HANDLE_VALUE;
}

bool SerialPort::set_queues(int input_bytes, int output_bytes) {
    return is_open() && ::SetupComm(native_->handle, static_cast<DWORD>(input_bytes),
                                    static_cast<DWORD>(output_bytes)) != 0;
}

bool SerialPort::set_timeouts() {
    if (!is_open()) return false;
    COMMTIMEOUTS timeouts{};
    // A read waits for the first character, then returns as soon as the line pauses for a millisecond:
    // the answer is handed over as it comes, and no read spins on an empty queue.
    timeouts.ReadIntervalTimeout = kReadIntervalMs;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 1000;
    return ::SetCommTimeouts(native_->handle, &timeouts) != 0;
}

SerialPort::LineHeld SerialPort::set_line() {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!is_open() || ::GetCommState(native_->handle, &dcb) == 0) return LineHeld::kRefused;
    // Everything else keeps what the port held.
    dcb.BaudRate = CBR_38400;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = TRUE;
    dcb.fInX = TRUE;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 256;
    dcb.XoffLim = 256;
    // The driver applies the whole block or refuses it. A device that cannot carry parity (a
    // pseudo-terminal behind an emulated port) is given the line without it, and says so.
    if (::SetCommState(native_->handle, &dcb) != 0) return LineHeld::kHeld;
    dcb.Parity = NOPARITY;
    return ::SetCommState(native_->handle, &dcb) != 0 ? LineHeld::kHeldWithoutParity : LineHeld::kRefused;
}

bool SerialPort::is_pseudo_terminal() const {
    // Windows has none; Wine maps a COM port to a Unix device, which may be one. Such a port has no modem
    // lines to read, where every real port (a UART, a USB adapter) has them.
    static const bool under_wine = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    DWORD modem = 0;
    return under_wine && is_open() && ::GetCommModemStatus(native_->handle, &modem) == 0;
}

void SerialPort::set_read_limit(std::size_t bytes) {
    std::lock_guard<std::mutex> guard(native_->lock);
    native_->read_limit = bytes;
}

void SerialPort::write(const char* data, std::size_t size) {
    if (!is_open() || size == 0) return;
    {
        std::lock_guard<std::mutex> guard(native_->lock);
        native_->to_send.append(data, static_cast<qsizetype>(size));
    }
    ::SetEvent(native_->wake);
}

QByteArray SerialPort::read_all() {
    QByteArray bytes;
    {
        std::lock_guard<std::mutex> guard(native_->lock);
        bytes.swap(native_->received);
    }
    // The thread may be holding back while the limit was reached.
    if (!bytes.isEmpty()) ::SetEvent(native_->wake);
    return bytes;
}

std::size_t SerialPort::bytes_available() const {
    std::lock_guard<std::mutex> guard(native_->lock);
    return static_cast<std::size_t>(native_->received.size());
}

std::size_t SerialPort::bytes_to_write() const {
    std::lock_guard<std::mutex> guard(native_->lock);
    return static_cast<std::size_t>(native_->to_send.size()) + native_->in_flight;
}

bool SerialPort::device_present(const std::string& device) {
    const QString name = QString::fromStdString(device);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(name, Qt::CaseInsensitive) == 0 ||
            info.systemLocation().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace tvx

#endif
