#include "editors/schedule_editor.h"

#include <gtest/gtest.h>

#include "protocol/recording_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using Field = ScheduleEditor::Field;
using Tick = ScheduleEditor::Tick;

class ScheduleEditorTest : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingLink link;
    testing::RecordingNotices notices;
    ScheduleSelection selection;
    ScheduleEditor editor{tool, link, notices, selection};
};

TEST_F(ScheduleEditorTest, PreviewShowsTheDaysEntriesInThreeColumns) {
    selection.selected_day = 17;
    const auto lines = editor.draw_preview();
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[0].text, "時 分 ページ　　 　　時 分 ページ　　　　時 分 ページ");
    EXPECT_EQ(lines[0].x, 60);
    EXPECT_EQ(lines[0].y, 1);
    for (int i = 0; i < 24; ++i) {
        const std::string hour = (i < 10 ? "0" : "") + std::to_string(i);
        const std::string number = (i + 1 < 10 ? "0" : "") + std::to_string(i + 1);
        EXPECT_EQ(lines[static_cast<std::size_t>(i + 1)].text, number + " = " + hour + ":00 --- ");
    }
    EXPECT_EQ(lines[3].text, "03 = 02:00 --- ");
    EXPECT_EQ(lines[9].x, 180);  // entry 9 starts the second column
    EXPECT_EQ(lines[9].y, 20);
    EXPECT_EQ(lines[24].x, 340);
    EXPECT_EQ(lines[24].y, 20 + 23 * 7);
}

TEST_F(ScheduleEditorTest, ChoicesEditTheSelectedEntryAndSendOneDay) {
    editor.select(Field::kDay, 4);
    editor.select(Field::kPattern, 2);
    editor.select(Field::kHour, 7);
    editor.select(Field::kMinute, 30);
    editor.select(Field::kPage, 64);
    EXPECT_EQ(editor.draw_preview()[3].text, "03 = 07:30 PAS  ");
    editor.select(Field::kPattern, 3);
    editor.select(Field::kPage, 11);
    EXPECT_EQ(editor.draw_preview()[4].text, "04 = 03:00 P12  ");
    EXPECT_EQ(editor.selection(Field::kPage), 11);
    editor.select(Field::kPattern, 2);
    EXPECT_EQ(editor.selection(Field::kHour), 7);
    EXPECT_EQ(editor.selection(Field::kPage), 64);
    EXPECT_EQ(ScheduleEditor::items(Field::kPage)[65], "---");
    EXPECT_TRUE(link.lines.empty());

    editor.send_day();
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 4), "SD05");
    EXPECT_EQ(link.lines[0].substr(4 + 2 * 6, 6), "0730AS");
    EXPECT_EQ(link.lines[0].substr(4 + 3 * 6, 6), "030012");

    // The entry chosen stays for the next opening.
    ScheduleEditor again(tool, link, notices, selection);
    EXPECT_EQ(again.selection(Field::kDay), 4);
    EXPECT_EQ(again.selection(Field::kPattern), 2);
}

TEST_F(ScheduleEditorTest, DayOffClearsOnlyThatDaysPages) {
    tool.model.schedule[4][0].page = 3;
    tool.model.schedule[4][5] = {9, 15, 64};
    tool.model.schedule[5][0].page = 3;
    editor.select(Field::kDay, 4);
    editor.clear_day();
    for (const ScheduleEntry& e : tool.model.schedule[4]) EXPECT_EQ(e.page, kScheduleOffPage);
    EXPECT_EQ(tool.model.schedule[4][5].hour, 9);
    EXPECT_EQ(tool.model.schedule[4][5].minute, 15);
    EXPECT_EQ(tool.model.schedule[5][0].page, 3);
    EXPECT_TRUE(link.lines.empty());
}

TEST_F(ScheduleEditorTest, AllDaysSendPacesThirtyOneDaysAndCountsInThirtySeconds) {
    editor.open_editor();
    EXPECT_EQ(editor.tick(), Tick::kPreview);
    tool.link.error_reply = 1;  // left by an earlier single command
    ASSERT_TRUE(editor.send_all_days());
    EXPECT_EQ(notices.calls.size(), 1u);  // the confirmation
    EXPECT_FALSE(editor.close_enabled());
    EXPECT_FALSE(editor.send_all_days());  // a second press does nothing, not even ask
    EXPECT_EQ(notices.calls.size(), 1u);

    std::vector<std::string> percents;
    Tick tick = Tick::kSent;
    for (int guard = 0; guard < 40 && tick != Tick::kCompleted; ++guard) {
        tick = editor.tick();
        if (tick == Tick::kSent) percents.push_back(editor.percent_text());
        EXPECT_NE(tick, Tick::kStopped);
    }
    EXPECT_EQ(tick, Tick::kCompleted);
    ASSERT_EQ(link.lines.size(), 31u);
    for (int d = 0; d < 31; ++d) {
        EXPECT_EQ(link.lines[static_cast<std::size_t>(d)].substr(0, 4), "SD" + two_digits(d + 1));
    }
    // The tick of day 31 completes the send and clears the field it would have shown 96 in.
    ASSERT_EQ(percents.size(), 30u);
    EXPECT_EQ(percents[0], "3");
    EXPECT_EQ(percents[6], "21");
    EXPECT_EQ(percents[7], "25");
    EXPECT_EQ(percents[8], "28");
    EXPECT_EQ(percents[29], "93");
    EXPECT_EQ(editor.percent_text(), "   ");
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_TRUE(editor.close_enabled());
    EXPECT_EQ(editor.tick(), Tick::kIdle);
}

TEST_F(ScheduleEditorTest, AllDaysSendIsRefusedOrStoppedWithoutLeavingABatchBehind) {
    notices.answers = {false};
    EXPECT_FALSE(editor.send_all_days());
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(tool.model.run.batch_step, 0);

    link.connected = false;
    EXPECT_FALSE(editor.send_all_days());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Socket が接続されていません"});
    EXPECT_TRUE(link.lines.empty());

    link.connected = true;
    ASSERT_TRUE(editor.send_all_days());
    editor.tick();
    editor.tick();
    tool.link.error_reply = 1;
    EXPECT_EQ(editor.tick(), Tick::kStopped);
    EXPECT_EQ(link.lines.size(), 2u);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_TRUE(editor.close_enabled());

    // Closed in the middle (only the dialog's end can do that): the batch ends with it.
    ASSERT_TRUE(editor.send_all_days());
    editor.tick();
    editor.close_editor();
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

TEST_F(ScheduleEditorTest, RepaintDuringTheBatchOnlyTakesTheNextTick) {
    EXPECT_EQ(editor.repainted(), 20);
    EXPECT_EQ(editor.tick(), Tick::kPreview);
    ASSERT_TRUE(editor.send_all_days());
    EXPECT_EQ(editor.tick(), Tick::kSent);
    EXPECT_EQ(editor.repainted(), 0);  // the timer keeps its pace
    EXPECT_EQ(editor.tick(), Tick::kPreview);
    EXPECT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(editor.tick(), Tick::kSent);
    EXPECT_EQ(link.lines.size(), 2u);
    tool.link.tcp_answer_pending = 1;
    EXPECT_EQ(editor.tick(), Tick::kWaiting);
}

}  // namespace
}  // namespace tvx
