#include "link/serial_link.h"

#include <QFileInfo>
#include <utility>

#include "link/serial_port_list.h"
#include "link/serial_port_names.h"
#include "protocol/reply_handler.h"
#include "protocol/serial_framing.h"

namespace tvx {

SerialLink::SerialLink(ToolState& tool, Notices& notices, QObject* parent)
    : QObject(parent), tool_(tool), notices_(notices), port_(this) {
    set_reply_handler(nullptr);
    set_unreadable_handler(nullptr);
    connect(&port_, &SerialPort::ready_read, this, &SerialLink::on_ready_read);
    connect(&port_, &SerialPort::failed, this, &SerialLink::on_failed);
    replug_timer_.setInterval(1000);
    connect(&replug_timer_, &QTimer::timeout, this, &SerialLink::poll_for_device);
}

SerialLink::~SerialLink() {
    // The port belongs to this object: let it go quietly, without error signals into a half-destroyed link.
    port_.disconnect(this);
    port_.close();
}

void SerialLink::set_reply_handler(ReplyHandler handler) {
    if (handler) {
        handler_ = std::move(handler);
    } else {
        handler_ = [this](const std::string& line) { handle_serial_reply(tool_, notices_, line); };
    }
}

void SerialLink::set_unreadable_handler(UnreadableHandler handler) {
    if (handler) {
        unreadable_ = std::move(handler);
    } else {
        unreadable_ = [this] { handle_unreadable_reply(tool_); };
    }
}

void SerialLink::open_serial_port() {
    open_serial_port(serial_device_for(tool_.config));
    port_label_ = com_port_key(tool_.config.com_port);
}

void SerialLink::open_serial_port(const std::string& device) {
    port_.close();
    replug_timer_.stop();
    device_ = device;
    port_label_ = device;
    pseudo_terminal_ = false;
    identity_.clear();
    stable_name_ = QFileInfo(QString::fromStdString(device)).isSymLink();
    assembler_.clear();
    unread_.clear();

    if (!port_.open(device)) {
        // Refused for lack of permission: the operator also learns how to get it.
        const std::string hint = port_.failure() == SerialPort::Failure::kPermission
                                     ? serial_permission_hint(device)
                                     : std::string();
        notices_.notify_error(hint.empty() ? std::string("Miss! File Open") : "Miss! File Open\n" + hint);
    }

    // Received characters arrive through ready_read, connected for the link's whole life.
    if (!port_.is_open()) notices_.notify_error("Miss! Mask Set");

    if (port_.is_open()) {
        port_.set_read_limit(kQueueBytes);
        pseudo_terminal_ = port_.is_pseudo_terminal();
        identity_ = pseudo_terminal_ ? std::string() : serial_device_identity(device);
    }
    if (!port_.set_queues(kQueueBytes, kQueueBytes)) notices_.notify_error("Miss! Buffer Set");

    if (!port_.set_timeouts()) notices_.notify_error("Miss! Time Out Set");

    const SerialPort::LineHeld line = port_.set_line();
    if (line == SerialPort::LineHeld::kHeldWithoutParity && pseudo_terminal_) {
        // A pseudo-terminal cannot carry parity and is never a real line: the log says so, no notice.
        if (observer_) observer_(TrafficDirection::kNote, port_label_, kPseudoTerminalParityNote);
    } else if (line != SerialPort::LineHeld::kHeld) {
        notices_.notify_error("Miss! Set Comm State");
    }
}

void SerialLink::serial_send(std::string_view line) {
    // Bytes that came while no answer was awaited, or a line already too long to be an answer, cannot
    // begin this command's answer: assembly starts afresh, so noise on the line does not cost the answer.
    if (tool_.link.reply_expected == 0 || assembler_.discarding()) assembler_.clear();
    const SerialFrame frame = frame_serial_line(line, tool_.config.rs_control, tool_.model.run.slave_address);
    tool_.link.reply_expected = frame.reply_expected ? 1 : 0;
    if (!frame.accepted) return;
    if (!port_.is_open()) {
        // Nothing goes out: a single command learns it from the reply time-out, a sequence stops at once
        // (a broadcast would otherwise run on with nobody told).
        tool_.link.link_lost = 1;
        return;
    }
    // The port copies the bytes into its own write queue, so nothing here has to outlive the call.
    port_.write(frame.bytes.data(), frame.bytes.size());
    if (observer_) observer_(TrafficDirection::kSent, link_label(), frame.bytes);
}

std::string SerialLink::link_label() const {
    std::string label = port_label_;
    if (tool_.config.rs_control == 1) {
        const int address = tool_.model.run.slave_address;
        char digits[3] = {'F', 'F', 0};
        if (address >= 0 && address <= 31) {
            digits[0] = static_cast<char>('0' + address / 10);
            digits[1] = static_cast<char>('0' + address % 10);
        }
        label += " #";
        label += digits;
    }
    return label;
}

std::size_t SerialLink::buffered_bytes() const {
    return port_.bytes_available() + static_cast<std::size_t>(unread_.size()) + assembler_.pending();
}

void SerialLink::on_ready_read() {
    unread_.append(port_.read_all());
    // A line handler may open a message box whose event loop lets readyRead in again: the new bytes
    // wait in unread_ and are handled after the current line, in order.
    if (delivering_) return;
    for (;;) {
        // The port does not signal again while its slot runs, though it keeps reading into
        // its buffer: what came during the handlers is collected here.
        unread_.append(port_.read_all());
        if (unread_.isEmpty()) break;
        const QByteArray bytes = std::exchange(unread_, {});
        assembler_.feed(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
            [this](const std::string& line) { deliver(line); },
            [this] {
                delivering_ = true;
                unreadable_();
                delivering_ = false;
            });
    }
}

void SerialLink::deliver(const std::string& line) {
    delivering_ = true;
    if (observer_) observer_(TrafficDirection::kReceived, link_label(), line);
    handler_(line);
    delivering_ = false;
}

void SerialLink::on_failed(SerialPort::Failure failure) {
    // The device went away (a USB adapter pulled out): say so once, then wait for it to come back.
    // Drivers report it as a resource error, or as failing reads and writes on a device that is gone.
    if (!port_.is_open()) return;
    if (failure != SerialPort::Failure::kResource && SerialPort::device_present(device_)) return;
    port_.close();
    assembler_.clear();
    unread_.clear();
    tool_.link.link_lost = 1;
    if (pseudo_terminal_ && !ptys_as_adapters_) {
        // Whatever takes its number next is another program's: it is not the unit.
        notices_.notify_error("シリアルポート " + port_text() +
                              " が閉じられました。\n擬似端末は開き直しません。");
        return;
    }
    replug_timer_.start();
    notices_.notify_error("シリアルポート " + port_text() + " が外されました。\n戻ったときに開き直します。");
}

std::string SerialLink::port_text() const {
    // On Windows the configured name is the device itself ("COM1"): it is said once.
    if (port_label_ == device_) return port_label_;
    return port_label_ + " (" + device_ + ")";
}

void SerialLink::poll_for_device() {
    if (port_.is_open() || device_.empty() || (pseudo_terminal_ && !ptys_as_adapters_)) {
        replug_timer_.stop();
        return;
    }
    if (!SerialPort::device_present(device_)) return;
    // Another adapter plugged in where this one was is not the unit's line: wait for the right one.
    if (!stable_name_ && !identity_.empty() && serial_device_identity(device_) != identity_) return;
    {
        // A device that is back but not ready yet is tried again quietly at the next poll.
        SerialPort probe;
        if (!probe.open(device_)) return;
    }
    const std::string label = port_label_;
    open_serial_port(device_);
    port_label_ = label;
    if (!port_.is_open()) replug_timer_.start();
}

}  // namespace tvx
