#include "protocol/paced_sequence.h"

namespace tvx {

bool PacedSequence::start() {
    if (state_ == State::kRunning) return false;
    if (tool_.model.run.batch_step != 0 || tool_.glyphs.bank_sequence_active != 0) return false;
    if (!can_start()) return false;
    tool_.link.error_reply = 0;
    step_ = 0;
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

    if (tool_.link.error_reply != 0) {
        // Seen and acted on: a later single command or sequence must not trip over it again.
        tool_.link.error_reply = 0;
        finish(State::kStopped);
        return state_;
    }
    if (tool_.link.tcp_answer_pending != 0 || waiting()) return state_;
    if (step_ >= step_count()) {
        finish(State::kCompleted);
        return state_;
    }
    ++step_;
    if (!uses_bank_flag()) tool_.model.run.batch_step = step_;
    if (!send_step(step_) && state_ == State::kRunning) finish(State::kStopped);
    return state_;
}

void PacedSequence::cancel() {
    if (state_ == State::kRunning) finish(State::kCancelled);
}

int PacedSequence::percent() const {
    const int count = step_count();
    return count > 0 ? step_ * 100 / count : 100;
}

void PacedSequence::finish(State state) {
    state_ = state;
    if (uses_bank_flag()) {
        tool_.glyphs.bank_sequence_active = 0;
    } else {
        tool_.model.run.batch_step = 0;
    }
    finished(state);
}

}  // namespace tvx
