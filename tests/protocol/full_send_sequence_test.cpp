#include "protocol/full_send_sequence.h"

#include <gtest/gtest.h>

#include "protocol/apply_plan.h"
#include "protocol/command_builders.h"
#include "protocol/command_senders.h"
#include "protocol/link_tick.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/read_back_sequence.h"
#include "protocol/send_verification.h"
#include "protocol/sequence_test_link.h"
#include "protocol/title_encoding.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::InProcessUnitLink;
using testing::RecordingNotices;

bool starts_with(const std::string& line, const std::string& mnemonic) {
    return line.rfind(mnemonic, 0) == 0;
}

TEST(FullSendSequence, SendsTitlesScheduleAndSettingsThenCompletesOnTheHundredEighteenthTick) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    FullSendSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    int ticks = 0;
    std::vector<int> percents;
    while (seq.tick() == PacedSequence::State::kRunning) {
        ++ticks;
        percents.push_back(seq.percent());
    }
    EXPECT_EQ(ticks + 1, 118);
    EXPECT_EQ(seq.state(), PacedSequence::State::kCompleted);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 117 * 100 / 118);

    ASSERT_EQ(link.lines.size(), 117u);
    std::string empty_title = "CA01";
    for (int i = 0; i < kTitleCells; ++i) empty_title += "2121";
    EXPECT_EQ(link.lines[0], empty_title + "\r\n");
    EXPECT_EQ(link.lines[63].substr(0, 8), "CA642121");
    EXPECT_EQ(link.lines[64].substr(0, 4), "SD01");
    EXPECT_EQ(link.lines[94].substr(0, 4), "SD31");
    const std::vector<std::string> settings = {"AM",   "ADT", "AP",   "ADO",  "ARO",  "ACA", "CABC", "CBS",
                                               "CFS",  "CI",  "CWL",  "FB",   "IDO",  "IDP", "ISS",  "PAS",
                                               "POSP", "RM",  "TSDO", "TSDR", "TSDS", "VLBC"};
    for (std::size_t i = 0; i < settings.size(); ++i) {
        EXPECT_TRUE(starts_with(link.lines[95 + i], settings[i])) << link.lines[95 + i];
    }
    // The "GO" answers raise no success notice during the sequence.
    link_tick(tool.link, notices);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{});
}

TEST(FullSendSequence, TableBuildsEachStepFromTheModel) {
    SettingsModel model = testing::random_model(7);
    EXPECT_EQ(full_send_command(model, 3), build_title_command(model.pages[2].title, 2));
    EXPECT_EQ(full_send_command(model, 66), build_schedule_day(model, 1));
    EXPECT_EQ(full_send_command(model, 97), build_alarm_hold_time(model));
    EXPECT_EQ(full_send_command(model, 104), build_all_pages_command(model, PageCommand::CFS));
    EXPECT_EQ(full_send_command(model, 112), build_power_on_page(model));
    EXPECT_EQ(full_send_command(model, 117), build_setting_command(model, SettingCommand::VLBC));
    EXPECT_EQ(full_send_command(model, 118), std::nullopt);
    EXPECT_EQ(full_send_command(model, 0), std::nullopt);
}

TEST(FullSendSequence, StepsAreNamedAsTheEditorsNameWhatTheySend) {
    EXPECT_EQ(full_send_step_name(1), "タイトル ページ 01");
    EXPECT_EQ(full_send_step_name(64), "タイトル ページ 64");
    EXPECT_EQ(full_send_step_name(95), "スケジュール 31日");
    EXPECT_EQ(full_send_step_name(97), "アラーム 保持時間");
    EXPECT_EQ(full_send_step_name(104), "文字サイズ");
    EXPECT_EQ(full_send_step_name(117), "その他 ビデオロス背景色");
    EXPECT_EQ(full_send_step_name(118), "終了");
    EXPECT_EQ(full_send_step_name(119), "ステップ 119");
}

// What a send of some settings reads back afterwards: each step's own read, found by its name.
TEST(FullSendSequence, EverySendingStepHasTheReadThatReadsItBack) {
    for (int step = 1; step < kFullSendSteps; ++step) {
        const int read = read_back_step_of_send_step(step);
        ASSERT_GT(read, 0) << full_send_step_name(step);
        EXPECT_EQ(read_step_name(read_back_step(read)), full_send_step_name(step));
    }
    EXPECT_EQ(read_back_step_of_send_step(5), 5);
    EXPECT_EQ(read_back_step_of_send_step(95), 95);
    EXPECT_EQ(read_back_step_of_send_step(kFullSendSteps), 0);
    EXPECT_EQ(read_back_steps_for({{104, 3}, {7}, {104}, {96}}), (std::vector<int>{7, 99, 104}));
}

// A setting changes exactly when its line would: the plan and the comparison the report lists agree, and
// one page's per-page setting goes alone while several pages' go in the all-pages form.
TEST(FullSendSequence, OnlyTheSettingsWhoseLinesDifferArePlanned) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const SettingsModel unit = testing::random_model(seed);
        SettingsModel source = seed % 2 ? testing::random_model(seed + 1000) : unit;
        source.network = unit.network;
        EXPECT_EQ(differing_send_items(source, unit).empty(), compare_sent_with_read_back(source, unit).empty())
            << seed;
        EXPECT_TRUE(differing_send_items(unit, unit).empty());
    }
    SettingsModel unit = testing::random_model(5);
    SettingsModel source = unit;
    source.pages[4].char_size = (unit.pages[4].char_size + 1) % 3;
    source.pages[9].title = unit.pages[9].title == "\x93\xFA" ? "\x96\x7B" : "\x93\xFA";
    source.video_loss_background = 1 - unit.video_loss_background;
    EXPECT_EQ(differing_send_items(source, unit), (std::vector<FullSendItem>{{10}, {104, 4}, {117}}));
    EXPECT_EQ(full_send_item_command(source, {104, 4}), build_page_command(source, PageCommand::CFS, 4));
    source.pages[5].char_size = (unit.pages[5].char_size + 1) % 3;
    EXPECT_EQ(differing_send_items(source, unit), (std::vector<FullSendItem>{{10}, {104}, {117}}));
    EXPECT_EQ(compare_sent_with_read_back(source, unit).size(), 4u);
}

TEST(FullSendSequence, AStopInTheMiddleKeepsWhatWasSentAndNamesWhatWasNot) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    FullSendSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    for (int tick = 0; tick < 40; ++tick) seq.tick();
    ASSERT_TRUE(seq.stop());
    EXPECT_EQ(seq.tick(), PacedSequence::State::kInterrupted);
    EXPECT_EQ(link.lines.size(), 40u);
    EXPECT_EQ(seq.percent(), 40 * 100 / 118);  // the progress stays where it stopped
    EXPECT_EQ(seq.interrupted_report(),
              "中止しました。最後に応答があったのはタイトル ページ 40 です。送信済み: タイトル ページ 01〜タイトル "
              "ページ 40 (40 ステップ)。未送信: タイトル ページ 41〜その他 ビデオロス背景色 (77 ステップ)。");
    EXPECT_TRUE(notices.calls.size() == 1 && notices.calls[0].kind == "auto");  // no box after the question
}

TEST(FullSendSequence, ARefusedTitleStopsWithTheTitlesBeforeItSent) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    tool.model.pages[2].title =
        "\x93\xFA"
        "A";  // a half-width letter
    FullSendSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    while (seq.tick() == PacedSequence::State::kRunning) {
    }
    EXPECT_EQ(seq.state(), PacedSequence::State::kStopped);
    EXPECT_EQ(seq.refused_page(), 2);
    ASSERT_EQ(link.lines.size(), 2u);
    EXPECT_EQ(link.lines[1].substr(0, 4), "CA02");
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{std::string(kTitleRefused)});
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.error_reply, 0);
}

TEST(FullSendSequence, AHoldTimeBelowThreeSecondsIsShownAndTheSequenceGoesOn) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    tool.model.alarm_hold_time = "002";
    FullSendSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    while (seq.tick() == PacedSequence::State::kRunning) {
    }
    EXPECT_EQ(seq.state(), PacedSequence::State::kCompleted);
    EXPECT_EQ(link.lines.size(), 116u);
    EXPECT_TRUE(starts_with(link.lines[95], "AM"));
    EXPECT_TRUE(starts_with(link.lines[96], "AP"));
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kAlarmHoldTooShort)});
}

TEST(FullSendSequence, StartAsksTheOperatorAndNeedsATcpConnection) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    FullSendSequence seq(tool, link, notices);
    notices.answers = {false};
    EXPECT_FALSE(seq.start());
    tool.config.link_interface = 1;
    link.connected = false;
    EXPECT_FALSE(seq.start());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{std::string(kSocketNotConnected)});
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(tool.model.run.batch_step, 0);

    // Broadcast is allowed, and a unit error stops the sequence at its next tick.
    tool.config.link_interface = 0;
    link.connected = true;
    unit.faults.error_at_line = 5;
    ASSERT_TRUE(seq.start());
    while (seq.tick() == PacedSequence::State::kRunning) {
    }
    EXPECT_EQ(seq.state(), PacedSequence::State::kStopped);
    EXPECT_EQ(link.lines.size(), 5u);
}

TEST(FullSendSequence, DroppingTheSequenceGivesTheModelBack) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link(tool, notices, unit);
    {
        FullSendSequence seq(tool, link, notices);
        ASSERT_TRUE(seq.start());
        seq.tick();
        EXPECT_EQ(tool.model.run.batch_step, 1);
    }
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

}  // namespace
}  // namespace tvx
