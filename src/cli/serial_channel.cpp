#include "cli/serial_channel.h"

#include <utility>

#include "protocol/reply_handler.h"

namespace tvx {
namespace {

constexpr int kDrainPollMs = 5;
// 38400 baud moves about 3840 bytes a second; a few seconds more for the device.
constexpr int kBytesPerSecond = 3840;
constexpr int kDrainSlackMs = 3000;

}  // namespace

SerialChannel::SerialChannel(ToolState& tool, Notices& notices, std::string device, QObject* parent)
    : UnitChannel(tool, notices, parent), device_(std::move(device)), link_(tool, notices) {
    tool_.config.link_interface = 0;
    link_.set_reply_handler([this](const std::string& line) {
        std::string_view shown = line;
        while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.remove_suffix(1);
        if (tool_.config.rs_control == 1) shown.remove_prefix(std::min<std::size_t>(2, shown.size()));
        line_received(line, shown);
    });
    link_.set_unreadable_handler([this] { unreadable_line_received(); });
    drain_poll_.setInterval(kDrainPollMs);
    connect(&drain_poll_, &QTimer::timeout, this, &SerialChannel::check_drained);
}

void SerialChannel::open() {
    // Each step that fails shows its notice, as in the tool; a port that did not open ends the command.
    link_.open_serial_port(device_);
    if (link_.is_open()) {
        emit ready();
    } else {
        emit open_failed();
    }
}

std::string SerialChannel::label() const {
    if (tool_.config.rs_control != 1) return device_;
    const int address = tool_.model.run.slave_address;
    if (address < 0 || address >= kBroadcastAddress) return device_ + " broadcast";
    return device_ + " address " + (address < 10 ? "0" : "") + std::to_string(address);
}

bool SerialChannel::write_line(std::string_view line) {
    link_.serial_send(line);
    return true;
}

bool SerialChannel::answer_expected() const {
    const int address = tool_.model.run.slave_address;
    return tool_.config.rs_control != 1 || (address >= 0 && address < kBroadcastAddress);
}

void SerialChannel::handle_line(std::string_view line) {
    handle_serial_reply(tool_, notices_, line);
}

std::string_view SerialChannel::no_answer_notice() const {
    return "No Connect";
}

void SerialChannel::drain(std::function<void(bool)> done) {
    const qint64 queued = link_.is_open() ? link_.bytes_to_write() : 0;
    if (queued == 0) {
        done(true);
        return;
    }
    drained_ = std::move(done);
    drain_polls_left_ = static_cast<int>((queued * 1000 / kBytesPerSecond + kDrainSlackMs) / kDrainPollMs);
    drain_poll_.start();
}

void SerialChannel::check_drained() {
    const bool all_out = link_.bytes_to_write() == 0;
    if (!all_out && --drain_polls_left_ > 0) return;
    drain_poll_.stop();
    if (drained_) std::exchange(drained_, nullptr)(all_out);
}

void SerialChannel::close() {
    drain_poll_.stop();
    drained_ = nullptr;
}

}  // namespace tvx
