#include "link/unit_channel.h"

#include "protocol/reply_handler.h"

namespace tvx {

UnitChannel::UnitChannel(ToolState& tool, Notices& notices, QObject* parent)
    : QObject(parent), tool_(tool), notices_(notices), answers_(tool.link) {
    connect(&answers_, &AnswerTracker::missing, this, &UnitChannel::answer_missing);
}

UnitChannel::~UnitChannel() = default;

void UnitChannel::send_command(std::string_view line) {
    // After a failure nothing more goes to the unit: the command has ended there.
    if (failed_) return;
    if (!write_line(line)) {
        send_failed();
        return;
    }
    if (answer_expected()) answers_.expect();
}

void UnitChannel::line_received(std::string_view line, std::string_view shown) {
    // After a failure the channel has ended: a late answer changes nothing.
    if (failed_) return;
    answers_.take_line();
    handle_line(line);
    last_line_ = std::string(shown);
    emit answered();
}

void UnitChannel::unreadable_line_received() {
    if (failed_) return;
    answers_.take_line();
    handle_unreadable_reply(tool_);
    last_line_.clear();
    emit answered();
}

void UnitChannel::connection_lost() {
    if (failed_ || !answers_.due()) return;
    // The answer cannot come any more; the unit went, it was not slow. The step is lost with the link,
    // not left unanswered.
    answers_.give_up(false);
    tool_.link.link_lost = 1;
    notices_.notify_warning(std::string(no_answer_notice()) + " (the connection closed)");
    fail(Failure::kConnectionClosed);
}

void UnitChannel::send_failed() {
    tool_.link.link_lost = 1;
    fail(Failure::kConnectionClosed);
}

void UnitChannel::answer_missing() {
    if (failed_) return;
    answers_.give_up(false);
    tool_.link.reply_missed = 1;
    notices_.notify_warning(no_answer_notice());
    fail(Failure::kNoAnswer);
}

void UnitChannel::fail(Failure failure) {
    failed_ = true;
    failure_ = failure;
    tool_.link.error_reply = 1;
    emit answered();
}

}  // namespace tvx
