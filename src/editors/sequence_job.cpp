#include "editors/sequence_job.h"

#include <algorithm>

namespace tvx {

std::string duration_text(std::int64_t ms) {
    const std::int64_t seconds = std::max<std::int64_t>(0, (ms + 500) / 1000);
    if (seconds < 60) return std::to_string(seconds) + " 秒";
    const std::int64_t rest = seconds % 60;
    return std::to_string(seconds / 60) + " 分 " + (rest < 10 ? "0" : "") + std::to_string(rest) + " 秒";
}

void SequenceJob::started(std::int64_t now_ms, int tick_ms, bool fast) {
    started_ms_ = now_ms;
    tick_ms_ = std::max(tick_ms, 0);
    fast_ = fast;
}

std::int64_t SequenceJob::time_left_ms(const PacedSequence& sequence, std::int64_t now_ms) const {
    const int done = sequence.steps_sent();
    const int left = std::max(0, sequence.step_count() - done);
    if (left == 0) return 0;
    // Each step takes at least one tick; answers that keep a step waiting show in the time measured.
    std::int64_t per_step = tick_ms_;
    if (done > 0) {
        per_step = std::max<std::int64_t>(per_step, elapsed_ms(now_ms) / done);
    } else if (fast_) {
        return -1;
    }
    return per_step * left;
}

std::string SequenceJob::progress_text(const PacedSequence& sequence, std::int64_t now_ms) const {
    const int done = sequence.steps_sent();
    const int count = sequence.step_count();
    std::string text = sequence.step_name(std::max(done, 1)) + " (" + std::to_string(done) + " / " +
                       std::to_string(count) + ")";
    const std::int64_t left = time_left_ms(sequence, now_ms);
    text += left < 0 ? "  残り時間を計っています" : "  残り 約 " + duration_text(left);
    return text;
}

std::string SequenceJob::end_text(const PacedSequence& sequence, std::int64_t now_ms) const {
    const std::string took = duration_text(elapsed_ms(now_ms));
    switch (sequence.state()) {
        case PacedSequence::State::kCompleted: {
            std::string text = "完了しました (" + std::to_string(sequence.steps_sent()) + " ステップ, " + took + ")";
            const std::size_t refused = sequence.steps_not_taken().size();
            if (refused > 0) text += "。本機が受け付けなかったステップが " + std::to_string(refused) + " あります";
            return text;
        }
        case PacedSequence::State::kInterrupted:
            return sequence.interrupted_report();
        case PacedSequence::State::kStopped:
            return sequence.step_name(std::max(sequence.steps_sent(), 1)) + " で止まりました (" + took + ")";
        default:
            return {};
    }
}

std::string SequenceJob::status_line(const PacedSequence& sequence, std::int64_t now_ms) const {
    const std::string took = duration_text(elapsed_ms(now_ms));
    const int done = sequence.steps_sent();
    switch (sequence.state()) {
        case PacedSequence::State::kCompleted: {
            std::string text = caption_ + ": 完了 (" + std::to_string(done) + " ステップ, " + took;
            const std::size_t refused = sequence.steps_not_taken().size();
            if (refused > 0) text += ", 受け付けられず " + std::to_string(refused);
            return text + ")";
        }
        case PacedSequence::State::kInterrupted:
            return caption_ + ": 中止 (" + std::to_string(done) + " / " + std::to_string(sequence.step_count()) +
                   " ステップ, " + took + ")";
        case PacedSequence::State::kStopped:
            return caption_ + ": 失敗 (" + sequence.step_name(std::max(done, 1)) + ", " + took + ")";
        default:
            return {};
    }
}

}  // namespace tvx
