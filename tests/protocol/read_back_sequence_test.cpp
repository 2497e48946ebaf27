#include "protocol/read_back_sequence.h"

#include <gtest/gtest.h>

#include "protocol/command_senders.h"
#include "protocol/link_tick.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/sequence_test_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::InProcessUnitLink;
using testing::RecordingNotices;

// Ticks the sequence at 400 ms with the main window's 100 ms tick in between, until it ends.
int run_with_link_ticks(PacedSequence& seq, ToolState& tool, RecordingNotices& notices) {
    int ticks = 0;
    while (seq.tick() == PacedSequence::State::kRunning && ticks < 1000) {
        ++ticks;
        for (int i = 0; i < 4; ++i) link_tick(tool.link, notices);
    }
    return ticks + 1;
}

TEST(ReadBackSequence, StepTableReadsTitlesScheduleAndSettingsInOrder) {
    EXPECT_EQ(read_back_command(1), "RCA01\r\n");
    EXPECT_EQ(read_back_command(64), "RCA64\r\n");
    EXPECT_EQ(read_back_command(65), "RSD01\r\n");
    EXPECT_EQ(read_back_command(95), "RSD31\r\n");
    EXPECT_EQ(read_back_command(96), "RACA\r\n");
    EXPECT_EQ(read_back_command(98), "RADT\r\n");
    EXPECT_EQ(read_back_command(104), "RCFS\r\n");
    EXPECT_EQ(read_back_command(114), "RTSD\r\n");
    EXPECT_EQ(read_back_command(117), "RVLBC\r\n");
    EXPECT_EQ(read_back_command(118), "RVLBC\r\n");
    EXPECT_EQ(read_back_command(119), "RVN\r\n");
    EXPECT_EQ(read_back_command(0), "");
    EXPECT_EQ(read_back_command(120), "");
}

TEST(ReadBackSequence, ReadsAUnitIntoTheModelWithProgressOverOneHundredTwentyTicks) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    unit.settings() = testing::random_model(44);
    for (int page = 0; page < kPageCount; ++page) {
        ASSERT_TRUE(unit.set_title(page, unit.settings().pages[static_cast<std::size_t>(page)].title));
    }
    InProcessUnitLink link(tool, notices, unit);
    ReadBackSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());

    std::vector<int> percents;
    while (seq.tick() == PacedSequence::State::kRunning) {
        percents.push_back(seq.percent());
        EXPECT_EQ(tool.model.run.batch_step, seq.steps_sent());
        link_tick(tool.link, notices);
    }
    percents.push_back(seq.percent());
    ASSERT_EQ(percents.size(), 119u);  // the tick of step 119 completes the read
    EXPECT_EQ(percents[0], 0);         // 1 * 100 / 120
    EXPECT_EQ(percents[59], 50);       // 60 * 100 / 120
    EXPECT_EQ(percents[118], 99);
    EXPECT_EQ(seq.state(), PacedSequence::State::kCompleted);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(link.lines.size(), 119u);

    SettingsModel expected = unit.settings();
    expected.network = tool.model.network;
    expected.network.version_number = unit.settings().network.version_number;
    EXPECT_EQ(testing::dump_unit_settings(expected), testing::dump_unit_settings(tool.model));
    EXPECT_EQ(seq.read_steps().size(), 119u);
    EXPECT_TRUE(seq.unread_steps().empty());
    // "Success" at the main window's next tick is the operator's sign that everything was read; the data
    // lines raise nothing.
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{});
    link_tick(tool.link, notices);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{});
}

TEST(ReadBackSequence, AnErrorReplyStopsAtTheNextTickAndStartBeginsAgain) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    unit.faults.error_at_line = 10;
    unit.faults.error_reply = "E3";
    InProcessUnitLink link(tool, notices, unit);
    ReadBackSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    EXPECT_EQ(run_with_link_ticks(seq, tool, notices), 11);
    EXPECT_EQ(seq.state(), PacedSequence::State::kStopped);
    ASSERT_EQ(link.lines.size(), 10u);  // steps 11 to 119 unsent
    EXPECT_EQ(link.lines.back(), "RCA10\r\n");
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.error_reply, 0);
    // The error notice has told the operator; the record still knows what was read.
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Command Error"});
    EXPECT_EQ(seq.read_steps(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(seq.unread_steps().size(), 110u);

    ASSERT_TRUE(seq.start());
    seq.tick();
    EXPECT_EQ(link.lines.back(), "RCA01\r\n");
}

TEST(ReadBackSequence, AStopKeepsTheSettingsReadAndSaysSo) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    ReadBackSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    for (int tick = 0; tick < 70; ++tick) seq.tick();
    seq.stop();
    EXPECT_EQ(seq.tick(), PacedSequence::State::kInterrupted);
    EXPECT_EQ(seq.read_steps().size(), 70u);
    EXPECT_EQ(seq.step_name(66), "スケジュール 2日");
    EXPECT_EQ(seq.interrupted_report(),
              "中止しました。最後に応答があったのはスケジュール 6日 です。送信済み: タイトル ページ 01〜スケジュール "
              "6日 (70 ステップ)。未送信: スケジュール 7日〜プロトコル Version Number (49 ステップ)。"
              "読み込めた設定 70 / 119 項目はそのまま残り、ほかは元の値のままです。");
    // Not a completed read: neither "Success" nor the unread settings' notice.
    link_tick(tool.link, notices);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{});
}

TEST(ReadBackSequence, StartChecksTheAddressTheOperatorAndTheConnection) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    ReadBackSequence seq(tool, link, notices);

    // A broadcast address chosen in another editor: no unit would answer, so nothing starts.
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    EXPECT_FALSE(seq.start());
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kReadBackNeedsAddress)});
    EXPECT_EQ(notices.texts("auto"), std::vector<std::string>{});
    tool.model.run.slave_address = 0;

    notices.clear();
    notices.answers = {false};
    EXPECT_FALSE(seq.start());
    EXPECT_EQ(notices.texts("auto").size(), 1u);

    tool.config.link_interface = 1;
    link.connected = false;
    EXPECT_FALSE(seq.start());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{std::string(kSocketNotConnected)});
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_TRUE(link.lines.empty());

    // A second Start while running asks nothing and changes nothing.
    link.connected = true;
    tool.link.error_reply = 1;  // left by an earlier single command
    ASSERT_TRUE(seq.start());
    EXPECT_EQ(tool.link.error_reply, 0);
    seq.tick();
    notices.clear();
    EXPECT_FALSE(seq.start());
    EXPECT_TRUE(notices.calls.empty());
    EXPECT_EQ(seq.steps_sent(), 1);
}

}  // namespace
}  // namespace tvx
