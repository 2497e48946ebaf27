#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/paced_sequence.h"

namespace tvx {

// One run of a paced sequence as its dialog tells it besides the bar: the step under way and the time
// left while it runs, how it ended once it has. Times are milliseconds from any clock that only goes
// forward; the dialogs give their elapsed timers, tests give numbers.
class SequenceJob {
  public:
    // caption: the job as the operator knows it ("全項目の設定", "外字一覧（大文字） 登録").
    explicit SequenceJob(std::string caption) : caption_(std::move(caption)) {}

    // The run started at now_ms, its timer firing every tick_ms (the pace in use); fast: each step goes
    // as soon as its answer has come, so only the steps already done tell how long one takes.
    void started(std::int64_t now_ms, int tick_ms, bool fast);

    // While it runs: "タイトル ページ 12  残り 約 31 秒"; the step is the one sent last, or the first
    // one before any has gone.
    std::string progress_text(const PacedSequence& sequence, std::int64_t now_ms) const;
    // The time left in milliseconds, -1 while there is nothing to go by (the fast pace before its first
    // step).
    std::int64_t time_left_ms(const PacedSequence& sequence, std::int64_t now_ms) const;

    // What the dialog keeps showing once the run has ended: "完了しました (118 ステップ, 47 秒)", the
    // interrupted run's report, or where a failure stopped it (its notice has said why).
    std::string end_text(const PacedSequence& sequence, std::int64_t now_ms) const;
    // The status bar's and the communication log's line: "全項目の設定: 完了 (118 ステップ, 47 秒)".
    // Empty for a run that was not ended by the sequence (cancelled, or still running).
    std::string status_line(const PacedSequence& sequence, std::int64_t now_ms) const;

    const std::string& caption() const { return caption_; }

  private:
    std::int64_t elapsed_ms(std::int64_t now_ms) const { return now_ms > started_ms_ ? now_ms - started_ms_ : 0; }

    std::string caption_;
    std::int64_t started_ms_ = 0;
    int tick_ms_ = 0;
    bool fast_ = false;
};

// "47 秒", "2 分 05 秒": a duration for the operator, to the nearest whole second.
std::string duration_text(std::int64_t ms);

}  // namespace tvx
