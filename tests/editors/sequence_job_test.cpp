#include "editors/sequence_job.h"

#include <gtest/gtest.h>

#include "support/recording_notices.h"

namespace tvx {
namespace {

using State = PacedSequence::State;

// Ten steps; each line is answered at once unless the test holds the answers back.
class TenSteps : public PacedSequence, public CommandLink {
  public:
    TenSteps(ToolState& tool, Notices& notices) : PacedSequence(tool, *this, notices) {}
    int step_count() const override { return 10; }
    std::string step_name(int step) const override { return "ページ " + std::to_string(step); }
    void send_command(std::string_view) override { ++tool_.link.replies_handled; }
    bool tcp_is_connected() const override { return true; }

  protected:
    bool send_step(int) override {
        step_link().send_command("X\r\n");
        return true;
    }
};

TEST(SequenceJob, TheTimeLeftIsTheStepsLeftAtThePaceMeasuredOrAtLeastTheTick) {
    ToolState tool;
    testing::RecordingNotices notices;
    TenSteps seq(tool, notices);
    ASSERT_TRUE(seq.start());
    SequenceJob job("テスト");

    // Standard pace: before the first step the tick is all there is to go by.
    job.started(1000, 400, false);
    EXPECT_EQ(job.time_left_ms(seq, 1000), 4000);
    EXPECT_EQ(job.progress_text(seq, 1000), "ページ 1 (0 / 10)  残り 約 4 秒");
    for (int i = 0; i < 4; ++i) seq.tick();
    // Slower than the tick (answers kept the steps waiting): the time measured counts.
    EXPECT_EQ(job.time_left_ms(seq, 1000 + 4 * 1000), 6 * 1000);
    // Never faster than the tick, however the clock was read.
    EXPECT_EQ(job.time_left_ms(seq, 1000 + 100), 6 * 400);
    EXPECT_EQ(job.progress_text(seq, 5000), "ページ 4 (4 / 10)  残り 約 6 秒");

    // Fast pace: nothing to go by until a step has gone.
    TenSteps fast(tool, notices);
    seq.cancel();
    ASSERT_TRUE(fast.start());
    job.started(0, 1, true);
    EXPECT_EQ(job.time_left_ms(fast, 0), -1);
    EXPECT_EQ(job.progress_text(fast, 0), "ページ 1 (0 / 10)  残り時間を計っています");
    fast.tick();
    fast.tick();
    EXPECT_EQ(job.time_left_ms(fast, 50), 8 * 25);
}

TEST(SequenceJob, EachEndIsToldInTheDialogAndInTheStatusLine) {
    ToolState tool;
    testing::RecordingNotices notices;
    SequenceJob job("全項目の設定");

    TenSteps completed(tool, notices);
    ASSERT_TRUE(completed.start());
    job.started(0, 400, false);
    while (completed.tick() == State::kRunning) {
    }
    EXPECT_EQ(job.end_text(completed, 4000), "完了しました (10 ステップ, 4 秒)");
    EXPECT_EQ(job.status_line(completed, 47000), "全項目の設定: 完了 (10 ステップ, 47 秒)");

    TenSteps interrupted(tool, notices);
    ASSERT_TRUE(interrupted.start());
    for (int i = 0; i < 3; ++i) interrupted.tick();
    interrupted.stop();
    interrupted.tick();
    EXPECT_EQ(job.end_text(interrupted, 1200), interrupted.interrupted_report());
    EXPECT_EQ(job.status_line(interrupted, 1200), "全項目の設定: 中止 (3 / 10 ステップ, 1 秒)");

    TenSteps stopped(tool, notices);
    ASSERT_TRUE(stopped.start());
    stopped.tick();
    stopped.tick();
    tool.link.error_reply = 1;
    stopped.tick();
    EXPECT_EQ(job.end_text(stopped, 125000), "ページ 2 で止まりました (2 分 05 秒)");
    EXPECT_EQ(job.status_line(stopped, 800), "全項目の設定: 失敗 (ページ 2, 1 秒)");

    // A run its dialog dropped, or one still going, has no line of its own.
    TenSteps cancelled(tool, notices);
    ASSERT_TRUE(cancelled.start());
    EXPECT_EQ(job.status_line(cancelled, 0), "");
    cancelled.cancel();
    EXPECT_EQ(job.status_line(cancelled, 0), "");
    EXPECT_EQ(duration_text(0), "0 秒");
    EXPECT_EQ(duration_text(59499), "59 秒");
    EXPECT_EQ(duration_text(59500), "1 分 00 秒");
}

}  // namespace
}  // namespace tvx
