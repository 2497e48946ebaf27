#include "cli/unit_channel.h"

namespace tvx {

UnitChannel::UnitChannel(ToolState& tool, Notices& notices, QObject* parent)
    : QObject(parent), tool_(tool), notices_(notices) {
    answer_timer_.setSingleShot(true);
    answer_timer_.setTimerType(Qt::PreciseTimer);
    answer_timer_.setInterval(3000);
    connect(&answer_timer_, &QTimer::timeout, this, &UnitChannel::answer_missing);
}

UnitChannel::~UnitChannel() = default;

void UnitChannel::send_command(std::string_view line) {
    // After a failure nothing more goes to the unit: the command has ended there.
    if (failed_) return;
    if (!write_line(line)) {
        send_failed();
        return;
    }
    if (!answer_expected()) return;
    set_answers_due(answers_due_ + 1);
    answer_timer_.start();
}

void UnitChannel::line_received(std::string_view line, std::string_view shown) {
    take_answer();
    handle_line(line);
    last_line_ = std::string(shown);
    if (tool_.link.error_reply != 0) error_seen_ = true;
    emit answered();
}

void UnitChannel::unreadable_line_received() {
    take_answer();
    last_line_.clear();
    emit answered();
}

void UnitChannel::take_answer() {
    if (answers_due_ == 0) return;
    set_answers_due(answers_due_ - 1);
    if (answers_due_ == 0) {
        answer_timer_.stop();
    } else {
        answer_timer_.start();
    }
}

void UnitChannel::connection_lost() {
    if (answers_due_ > 0) answer_missing();
}

void UnitChannel::send_failed() {
    failed_ = true;
    error_seen_ = true;
    tool_.link.error_reply = 1;
    emit answered();
}

void UnitChannel::answer_missing() {
    if (failed_) return;
    answer_timer_.stop();
    set_answers_due(0);
    failed_ = true;
    error_seen_ = true;
    tool_.link.error_reply = 1;
    // Pieces of an answer that never completed must not be joined to anything later.
    tool_.reply.tcp_accumulation.clear();
    tool_.reply.tcp_line_incomplete = false;
    notices_.notify_warning(no_answer_notice());
    emit answered();
}

void UnitChannel::set_answers_due(int count) {
    answers_due_ = count;
    tool_.link.tcp_answer_pending = count > 0 ? 1 : 0;
}

}  // namespace tvx
