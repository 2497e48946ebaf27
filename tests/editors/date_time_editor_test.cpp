#include "editors/date_time_editor.h"

#include <gtest/gtest.h>

#include "protocol/recording_link.h"

namespace tvx {
namespace {

using Clock = DateTimeEditor::ClockField;
using Option = DateTimeEditor::LineOption;

class DateTimeEditorTest : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingLink link;
    DateTimeEditor editor{tool, link};
};

TEST_F(DateTimeEditorTest, ClockSelectorsStartFromTheComputersClock) {
    editor.open_editor({2016, 3, 9, 7, 5, 30});
    const std::pair<Clock, const char*> shown[] = {{Clock::kYear, "2016"}, {Clock::kMonth, "3"},
                                                   {Clock::kDay, "9"},     {Clock::kHour, "7"},
                                                   {Clock::kMinute, "5"},  {Clock::kSecond, "30"}};
    for (const auto& [field, text] : shown) {
        EXPECT_EQ(DateTimeEditor::items(field)[static_cast<std::size_t>(editor.selection(field))], text);
    }
    for (Clock field :
         {Clock::kYear, Clock::kMonth, Clock::kDay, Clock::kHour, Clock::kMinute, Clock::kSecond})
        editor.send(field);
    EXPECT_EQ(link.lines, (std::vector<std::string>{"DSY16\r\n", "DSM03\r\n", "DSD09\r\n", "TSH07\r\n",
                                                    "TSM05\r\n", "TSS30\r\n"}));
    EXPECT_EQ(DateTimeEditor::items(Clock::kYear).size(), 100u);
    EXPECT_EQ(DateTimeEditor::items(Clock::kDay).back(), "31");
    EXPECT_EQ(DateTimeEditor::items(Clock::kHour).front(), "0");
}

TEST_F(DateTimeEditorTest, YearOutsideTheListSendsNothingUntilChosen) {
    editor.open_editor({2101, 12, 31, 23, 59, 59});
    EXPECT_EQ(editor.selection(Clock::kYear), -1);
    EXPECT_FALSE(editor.send(Clock::kYear));
    EXPECT_TRUE(link.lines.empty());
    editor.select(Clock::kYear, 99);
    EXPECT_TRUE(editor.send(Clock::kYear));
    EXPECT_EQ(link.lines, std::vector<std::string>{"DSY99\r\n"});
    editor.open_editor({1999, 1, 1, 0, 0, 0});
    EXPECT_EQ(editor.selection(Clock::kYear), -1);
}

TEST_F(DateTimeEditorTest, LineOptionsAreModelFieldsSentOnTheirButtons) {
    editor.send(Option::kSize);
    editor.send(Option::kDisplay);
    editor.select(Option::kRange, 7);
    EXPECT_EQ(tool.model.date_display_range, 7);
    EXPECT_EQ(DateTimeEditor::items(Option::kRange)[7], "　　　時分　");
    editor.send(Option::kRange);
    editor.select(Option::kSize, 1);
    editor.send(Option::kSize);
    editor.send_correction();
    EXPECT_EQ(link.lines,
              (std::vector<std::string>{"TSDSS\r\n", "TSDOF\r\n", "TSDR8\r\n", "TSDSN\r\n", "TSA\r\n"}));
}

}  // namespace
}  // namespace tvx
