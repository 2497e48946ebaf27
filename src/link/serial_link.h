#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "config/notices.h"
#include "link/link_dispatch.h"
#include "link/serial_port.h"
#include "link/traffic_observer.h"
#include "model/tool_state.h"
#include "protocol/line_assembler.h"

namespace tvx {

// The serial line to the unit: opens and configures the port once, frames and writes command lines,
// and hands every received line, one at a time and in arrival order, to the reply handling. Reception
// runs on readyRead in the GUI thread, so the reply handling needs no locks.
class SerialLink : public QObject, public SerialSender {
    Q_OBJECT

  public:
    using ReplyHandler = std::function<void(const std::string& line)>;
    // Told of a line too long to hand over, dropped whole: it answers all the same.
    using UnreadableHandler = std::function<void()>;

    // A reply line may hold at most this many bytes, LF included; a longer one is dropped whole.
    static constexpr std::size_t kLineLimit = 1023;
    // The driver queues, in and out.
    static constexpr int kQueueBytes = 2000;
    // What the communication log notes when the port is a pseudo-terminal, which keeps no parity.
    static constexpr std::string_view kPseudoTerminalParityNote =
        "擬似端末のため偶数パリティなしで開きました（実回線ではありません）";

    SerialLink(ToolState& tool, Notices& notices, QObject* parent = nullptr);
    ~SerialLink() override;

    // Opens the device configured for com_port and sets the line up. Each step that fails shows its
    // notice and the next step still runs; a step that needs the port fails when the port did not open.
    // A pseudo-terminal that holds everything but parity is noted in the communication log instead.
    void open_serial_port();
    // The same with an explicit device path.
    void open_serial_port(const std::string& device);

    bool is_open() const { return port_.is_open(); }
    // Received bytes the link holds and has not handed over yet, wherever they wait: whatever the far
    // end sends, no more than the port buffer and one line.
    std::size_t buffered_bytes() const;
    // Bytes written but not yet taken by the device; a program about to exit waits for them.
    std::size_t bytes_to_write() const { return port_.bytes_to_write(); }

    // Frames by the current rs_control and slave_address and writes without waiting. Nothing is written
    // when the port is not open or the command is too long; the reply time-out then reports it.
    void serial_send(std::string_view line) override;

    // Where received lines go; by default handle_serial_reply.
    void set_reply_handler(ReplyHandler handler);
    // Where over-long lines are told; by default the reply handling counts them as an unreadable answer.
    void set_unreadable_handler(UnreadableHandler handler);
    // Told of every framed line written and every line received, for the communication log.
    void set_traffic_observer(TrafficObserver observer) { observer_ = std::move(observer); }
    // The port as the log names it, with the RS-485 address: "COM1 #03", "COM1 #FF", "COM2".
    std::string link_label() const;

    // While an unplugged device is away: looks for it once and reopens it when it is back, and only if it
    // is the same device: a pseudo-terminal is never reopened, however it was named (its number goes to the
    // next program that asks for one); a stable name (a link such as /dev/serial/by-id/...) names its
    // device and is reopened by that name; an adapter whose vendor, product and serial number were known
    // must show them again. The link's timer calls this every second; tests call it directly.
    void poll_for_device();
    bool waiting_for_device() const { return replug_timer_.isActive(); }
    // Tests stand a pseudo-terminal in for an adapter, to replug it.
    void treat_pseudo_terminals_as_adapters() { ptys_as_adapters_ = true; }

  private:
    void on_ready_read();
    void on_failed(SerialPort::Failure failure);
    std::string port_text() const;  // the port as notices name it
    void deliver(const std::string& line);

    ToolState& tool_;
    Notices& notices_;
    SerialPort port_;
    LineAssembler assembler_{kLineLimit};
    ReplyHandler handler_;
    UnreadableHandler unreadable_;
    TrafficObserver observer_;
    std::string port_label_;   // the configured port's name, or the device opened by path
    QByteArray unread_;        // bytes taken from the port while a line was being handled
    bool delivering_ = false;  // a handler that opens a box runs a nested event loop
    std::string device_;       // the path last opened, to reopen after an unplug
    std::string identity_;     // the device's identity when it was opened (serial_device_identity)
    bool pseudo_terminal_ = false;
    bool stable_name_ = false;  // device_ is a link that names its device
    bool ptys_as_adapters_ = false;
    QTimer replug_timer_;
};

}  // namespace tvx
