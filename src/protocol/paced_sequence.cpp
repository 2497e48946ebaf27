#include "protocol/paced_sequence.h"

#include <algorithm>

namespace tvx {

std::string step_stopped_notice(std::string_view stopped, std::string_view answered, bool answers_awaited) {
    std::string text = std::string(stopped) + " で中断しました。";
    if (!answers_awaited) {
        // A broadcast: no unit answers, so the last line that went out is all there is to tell.
        text += "一斉送信には応答がありません。";
        if (answered.empty()) return text + "送信できたものはありません。";
        return text + "送信できたのは" + std::string(answered) + " までです。";
    }
    if (answered.empty()) return text + "応答は一度もありませんでした。";
    return text + "最後に応答があったのは" + std::string(answered) + " です。";
}

bool fast_pace(const ToolState& tool) {
    const bool broadcast = tool.config.link_interface == 0 && tool.config.rs_control == 1 &&
                           tool.model.run.slave_address >= kBroadcastAddress;
    return tool.config.pace == 1 && !broadcast;
}

int pace_tick_ms(const ToolState& tool, int standard_ms) {
    return fast_pace(tool) ? kFastTickMs : standard_ms;
}

std::string_view pace_name(const ToolState& tool) {
    return kPaceNames[fast_pace(tool) ? 1 : 0];
}

PacedSequence::PacedSequence(ToolState& tool, CommandLink& link, Notices& notices)
    : tool_(tool), step_link_(*this, link), notices_(notices) {}

void PacedSequence::StepLink::send_command(std::string_view line) {
    ToolState& tool = owner_.tool_;
    // A sequence taken as part of another sends through that one's step link, which records the step.
    const bool recording = owner_.state_ == State::kRunning;
    if (recording) {
        // The step before keeps the answer it had; from here on a line answers this one.
        owner_.take_step_answer();
        tool.reply.step = AwaitedStep{true, owner_.step_reads(owner_.step_), StepAnswer::kNone};
        owner_.answer_step_ = owner_.step_;
    }
    const std::uint64_t replies_before = tool.link.replies_handled;
    const bool lost_before = tool.link.link_lost != 0;
    link_.send_command(line);
    // An answer already handled (a link that answers at once) or one the link now waits for.
    const bool awaited = tool.link.replies_handled != replies_before || tool.link.reply_expected != 0 ||
                         tool.link.tcp_answer_pending != 0;
    if (awaited) {
        owner_.awaiting_.push_back(owner_.step_);
        owner_.any_awaited_ = true;
    }
    if (lost_before || tool.link.link_lost == 0) owner_.last_written_ = owner_.step_;
    if (recording) owner_.note_step_sent(awaited);
    owner_.take_answers();
}

bool PacedSequence::start() {
    if (state_ == State::kRunning) return false;
    if (tool_.model.run.batch_step != 0 || tool_.glyphs.bank_sequence_active != 0) return false;
    if (!can_start()) return false;
    tool_.link.error_reply = 0;
    tool_.link.link_lost = 0;
    tool_.link.reply_missed = 0;
    // The serial line is the sequence's from here: an answer still awaited by an earlier command or a
    // stopped sequence must neither hold the first step back nor, missing, stop this run.
    tool_.link.reply_expected = 0;
    tool_.link.reply_timeout_ticks = 0;
    step_ = 0;
    stopped_by_link_ = false;
    stop_requested_ = false;
    awaiting_.clear();
    any_awaited_ = false;
    last_answered_ = 0;
    last_written_ = 0;
    replies_seen_ = tool_.link.replies_handled;
    outcomes_.clear();
    answer_step_ = 0;
    tool_.reply.step = AwaitedStep{};
    state_ = State::kRunning;
    if (uses_bank_flag()) {
        tool_.glyphs.bank_sequence_active = 1;
    } else {
        // Non-zero from the start, so that a "GO" to the first command raises no success box.
        tool_.model.run.batch_step = 1;
    }
    return true;
}

PacedSequence::State PacedSequence::tick() {
    if (state_ != State::kRunning || in_tick_) return state_;
    in_tick_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{in_tick_};

    before_tick();
    take_answers();
    take_step_answer();
    // Every step went out and the answer awaited to the last has come, whatever the link does
    // afterwards (so also when it went after the last line that sends had its answer): an error answer
    // to it has been shown and does not undo the sequence.
    if (all_answered(step_count()) ||
        (tool_.link.link_lost != 0 && tool_.link.reply_missed == 0 && all_answered(last_sending_step()))) {
        tool_.link.error_reply = 0;
        finish(State::kCompleted);
        return state_;
    }
    if (stop_requested_) {
        // Nothing more goes out. The step in flight keeps its answer (a late "GO" must not pass for a
        // single command's success), so the run ends once that has come or the link has given up on it;
        // a run the operator ended himself needs no failure box on top of the link's own notice.
        if (link_failed()) {
            take_step_answer();
            if (outcome(answer_step_) == StepOutcome::kAwaiting)
                outcomes_[static_cast<std::size_t>(answer_step_ - 1)] =
                    tool_.link.reply_missed != 0 ? StepOutcome::kNoAnswer : StepOutcome::kLinkLost;
            tool_.link.link_lost = 0;
            tool_.link.reply_missed = 0;
        } else if (answer_due() || waiting()) {
            return state_;
        }
        tool_.link.error_reply = 0;
        finish(State::kInterrupted);
        return state_;
    }
    if (link_failed()) {
        stop_for_link();
        return state_;
    }
    const bool step_refused = answer_step_ > 0 && outcome(answer_step_) == StepOutcome::kErrorReply;
    if (tool_.link.error_reply != 0 || step_refused) {
        // Seen and acted on: a later single command or sequence must not trip over it again.
        tool_.link.error_reply = 0;
        finish(State::kStopped);
        return state_;
    }
    if (answer_due()) return state_;
    if (waiting()) {
        waited();
        return state_;
    }
    ++step_;
    if (!uses_bank_flag()) tool_.model.run.batch_step = step_;
    if (!send_step(step_)) {
        if (state_ == State::kRunning) finish(State::kStopped);
        return state_;
    }
    if (state_ != State::kRunning) return state_;
    if (link_failed()) {
        // The line could not go out: nothing after it will either.
        stop_for_link();
        return state_;
    }
    // The last step: complete in its own tick unless an answer is still to come.
    if (all_answered(step_count())) {
        tool_.link.error_reply = 0;
        finish(State::kCompleted);
    }
    return state_;
}

void PacedSequence::cancel() {
    if (state_ == State::kRunning) finish(State::kCancelled);
}

bool PacedSequence::stop() {
    if (state_ != State::kRunning) return false;
    stop_requested_ = true;
    return true;
}

std::string PacedSequence::interrupted_report() const {
    const bool awaited = any_awaited_ || !broadcast();
    const int last = awaited ? last_answered_step() : last_written_;
    std::string text = "中止しました。";
    if (!awaited) {
        text += "一斉送信には応答がありません。";
    } else if (last > 0) {
        text += "最後に応答があったのは" + step_name(last) + " です。";
    } else {
        text += "応答は一度もありませんでした。";
    }
    // Steps that send nothing (the full send's closing step) are neither sent nor left unsent.
    const int count = last_sending_step();
    const int sent = std::min(step_, count);
    if (sent > 0) {
        text += "送信済み: " + step_name(1) + (sent > 1 ? "〜" + step_name(sent) : std::string()) + " (" +
                std::to_string(sent) + " ステップ)。";
    } else {
        text += "送信したものはありません。";
    }
    if (sent < count) {
        text += "未送信: " + step_name(sent + 1) +
                (count > sent + 1 ? "〜" + step_name(count) : std::string()) + " (" +
                std::to_string(count - sent) + " ステップ)。";
    }
    return text;
}

int PacedSequence::percent() const {
    const int count = step_count();
    return count > 0 ? step_ * 100 / count : 100;
}

std::string PacedSequence::step_label(int step) const {
    return "ステップ " + std::to_string(step);
}

bool PacedSequence::link_failed() const {
    return tool_.link.link_lost != 0 || (tool_.link.reply_missed != 0 && stops_when_unanswered());
}

bool PacedSequence::answer_due() const {
    if (tool_.link.tcp_answer_pending != 0) return true;
    // On the serial line an answer is due from the write until its line or the reply time-out. A
    // sequence whose steps may go unanswered bounds each wait itself (waiting()).
    return tool_.config.link_interface == 0 && tool_.link.reply_expected != 0 && stops_when_unanswered();
}

bool PacedSequence::all_answered(int through) const {
    return step_ >= through && !answer_due() && !waiting() &&
           (tool_.link.reply_missed == 0 || !stops_when_unanswered());
}

PacedSequence::StepOutcome PacedSequence::outcome(int step) const {
    if (step < 1 || static_cast<std::size_t>(step) > outcomes_.size()) return StepOutcome::kNotSent;
    return outcomes_[static_cast<std::size_t>(step - 1)];
}

std::vector<int> PacedSequence::steps_not_taken() const {
    std::vector<int> steps;
    for (int step = 1; step <= static_cast<int>(outcomes_.size()); ++step) {
        const StepOutcome o = outcome(step);
        if (!step_reads(step) && (o == StepOutcome::kErrorReply || o == StepOutcome::kModeDifference ||
                                  o == StepOutcome::kUnexpected))
            steps.push_back(step);
    }
    return steps;
}

std::string PacedSequence::steps_not_taken_notice() const {
    const std::vector<int> steps = steps_not_taken();
    if (steps.empty()) return {};
    struct Kind {
        StepOutcome outcome;
        std::string_view name;
    };
    constexpr Kind kKinds[] = {
        {StepOutcome::kModeDifference, "モード違い（GN）"},
        {StepOutcome::kUnexpected, "想定外の応答"},
        {StepOutcome::kErrorReply, "エラー応答"},
    };
    std::string text = "最後まで送信しましたが、本機が受け付けなかったステップがあります。";
    for (const Kind& kind : kKinds) {
        std::string labels;
        for (const int step : steps) {
            if (outcome(step) != kind.outcome) continue;
            labels += (labels.empty() ? "" : ", ") + step_label(step);
        }
        if (!labels.empty()) text += "\n" + std::string(kind.name) + ": " + labels;
    }
    return text;
}

void PacedSequence::note_step_sent(bool awaited) {
    if (step_ < 1) return;
    if (outcomes_.size() < static_cast<std::size_t>(step_))
        outcomes_.resize(static_cast<std::size_t>(step_), StepOutcome::kNotSent);
    outcomes_[static_cast<std::size_t>(step_ - 1)] = awaited ? StepOutcome::kAwaiting : StepOutcome::kNotAwaited;
    take_step_answer();
}

void PacedSequence::take_step_answer() {
    if (answer_step_ < 1 || static_cast<std::size_t>(answer_step_) > outcomes_.size()) return;
    StepOutcome& o = outcomes_[static_cast<std::size_t>(answer_step_ - 1)];
    // Only a step that awaits its answer, or has had one, takes what the reply handling noted.
    if (o == StepOutcome::kNotSent || o == StepOutcome::kNotAwaited || o == StepOutcome::kNoAnswer ||
        o == StepOutcome::kLinkLost)
        return;
    switch (tool_.reply.step.answer) {
        case StepAnswer::kNone:
            break;
        case StepAnswer::kAsAsked:
            o = StepOutcome::kAsAsked;
            break;
        case StepAnswer::kErrorReply:
            o = StepOutcome::kErrorReply;
            break;
        case StepAnswer::kModeDifference:
            o = StepOutcome::kModeDifference;
            break;
        case StepAnswer::kUnexpected:
            o = StepOutcome::kUnexpected;
            break;
    }
}

void PacedSequence::take_answers() {
    const std::uint64_t handled = tool_.link.replies_handled;
    // Answers are taken in order, one per step that awaited one; lines nobody asked for change nothing.
    std::uint64_t fresh = handled >= replies_seen_ ? handled - replies_seen_ : 0;
    replies_seen_ = handled;
    for (; fresh > 0 && !awaiting_.empty(); --fresh) {
        last_answered_ = awaiting_.front();
        awaiting_.pop_front();
    }
}

bool PacedSequence::broadcast() const {
    return tool_.config.link_interface == 0 && tool_.config.rs_control == 1 &&
           tool_.model.run.slave_address >= kBroadcastAddress;
}

void PacedSequence::stop_for_link() {
    take_answers();
    const bool awaited = any_awaited_ || !broadcast();
    const int last = awaited ? last_answered_step() : last_written_;
    // The link went after the last step sent had its answer: the step that could not go out is the next.
    // (A step whose answer did not come in time stays the step stopped at, however late its answer.)
    const bool gone_after_answer =
        awaited && tool_.link.reply_missed == 0 && last >= step_ && step_ < step_count();
    const int stopped = gone_after_answer ? step_ + 1 : std::max(step_, 1);
    const std::string text =
        step_stopped_notice(step_label(stopped), last > 0 ? step_label(last) : std::string(), awaited);
    take_step_answer();
    if (outcome(answer_step_) == StepOutcome::kAwaiting)
        outcomes_[static_cast<std::size_t>(answer_step_ - 1)] =
            tool_.link.reply_missed != 0 ? StepOutcome::kNoAnswer : StepOutcome::kLinkLost;
    // Seen and acted on, together with the error reply the same failure may have raised.
    tool_.link.link_lost = 0;
    tool_.link.reply_missed = 0;
    tool_.link.error_reply = 0;
    stopped_by_link_ = true;
    finish(State::kStopped);
    notices_.notify_error(text);
}

void PacedSequence::finish(State state) {
    take_step_answer();
    tool_.reply.step = AwaitedStep{};
    state_ = state;
    stop_requested_ = false;
    if (uses_bank_flag()) {
        tool_.glyphs.bank_sequence_active = 0;
    } else {
        tool_.model.run.batch_step = 0;
    }
    finished(state);
    if (state == State::kCompleted) {
        const std::string not_taken = steps_not_taken_notice();
        if (!not_taken.empty()) notices_.notify_warning(not_taken);
    }
}

}  // namespace tvx
