#include "link/client_channel.h"

#include <utility>

#include "protocol/reply_handler.h"

namespace tvx {
namespace {

constexpr char kNoAnswer[] = "Answer が､きません";
constexpr char kSendFailed[] = "Socket 送信";
constexpr char kNotConnected[] = "Socket が接続されていません";
constexpr int kDrainPollMs = 10;

std::string without_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return std::string(line);
}

}  // namespace

std::string ClientChannel::label_of(const TcpClientEntry& entry) {
    return entry.address + ":" + std::to_string(entry.port);
}

ClientChannel::ClientChannel(ToolState& tool, Notices& notices, TcpLink& link, int index, QObject* parent)
    : UnitChannel(tool, notices, parent), link_(link), index_(index), connection_(link.connection_of(index)) {
    if (connection_ != 0) label_ = label_of(link.client_table()[static_cast<std::size_t>(index)]);
    drain_timer_.setInterval(kDrainPollMs);
    connect(&drain_timer_, &QTimer::timeout, this, &ClientChannel::drain_check);
}

ClientChannel::~ClientChannel() {
    close();
}

void ClientChannel::open() {
    if (connection_ == 0 || link_.connection_of(index_) != connection_) {
        gone_ = true;
        notices_.notify_warning(kNotConnected);
        emit open_failed();
        return;
    }
    link_.attach(connection_, this);
    attached_ = true;
    emit ready();
}

bool ClientChannel::tcp_is_connected() const {
    return !gone_ && connection_ != 0 && link_.connection_of(index_) == connection_;
}

bool ClientChannel::write_line(std::string_view line) {
    if (gone_ || !link_.write_to(connection_, line)) {
        // As the link says it of the one unit it sends to.
        tool_.link.link_lost = 1;
        notices_.notify_warning(kSendFailed);
        return false;
    }
    return true;
}

void ClientChannel::handle_line(std::string_view line) {
    handle_tcp_reply(tool_, notices_, line);
}

std::string_view ClientChannel::no_answer_notice() const {
    return kNoAnswer;
}

void ClientChannel::bytes_received(std::string_view bytes) {
    lines_.feed(
        bytes, [this](const std::string& line) { line_received(line, without_line_end(line)); },
        [this] { unreadable_line_received(); });
}

void ClientChannel::connection_gone() {
    if (gone_) return;
    gone_ = true;
    attached_ = false;  // the link has let go of this receiver
    // Nothing more goes to the unit and an answer due cannot come: the session's sequence stops at its
    // next tick, at the step it had reached.
    tool_.link.link_lost = 1;
    connection_lost();
    if (drained_) {
        drain_timer_.stop();
        std::exchange(drained_, nullptr)(false);
    }
}

void ClientChannel::drain(std::function<void(bool)> done) {
    drained_ = std::move(done);
    drain_waited_ms_ = 0;
    drain_check();
    if (drained_) drain_timer_.start();
}

void ClientChannel::drain_check() {
    if (!drained_) return;
    const bool out = link_.bytes_to_write(connection_) == 0;
    if (gone_ || out || drain_waited_ms_ >= kDrainLimitMs) {
        drain_timer_.stop();
        std::exchange(drained_, nullptr)(!gone_ && out);
        return;
    }
    drain_waited_ms_ += kDrainPollMs;
}

void ClientChannel::close() {
    drain_timer_.stop();
    drained_ = nullptr;
    if (attached_) link_.detach(connection_);
    attached_ = false;
    lines_.clear();
}

}  // namespace tvx
