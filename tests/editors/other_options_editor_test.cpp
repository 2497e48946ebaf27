#include "editors/other_options_editor.h"

#include <gtest/gtest.h>

#include "editors/display_page_editor.h"
#include "editors/slave_address_editor.h"
#include "protocol/recording_link.h"

namespace tvx {
namespace {

// The three small editors: other options, display page and slave address.
class SmallEditorsTest : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingLink link;
};

TEST_F(SmallEditorsTest, OtherOptionsWriteAtOnceAndSendOnlyOnTheirButtons) {
    using Option = OtherOptionsEditor::Option;
    OtherOptionsEditor editor(tool, link);
    EXPECT_EQ(OtherOptionsEditor::items(Option::kPowerOnPage).size(), 65u);
    EXPECT_EQ(OtherOptionsEditor::items(Option::kPowerOnPage)[64], "PAS");
    EXPECT_EQ(OtherOptionsEditor::items(Option::kVideoLossBackground)[1], "Blue  ");

    editor.select(Option::kPowerOnPage, 64);
    editor.select(Option::kConnectorInput, 1);
    editor.select(Option::kVideoLossBackground, 1);
    EXPECT_EQ(tool.model.power_on_page, 64);
    EXPECT_TRUE(link.lines.empty());
    editor.send(Option::kPowerOnPage);
    editor.select(Option::kPowerOnPage, 11);
    editor.send(Option::kPowerOnPage);
    editor.send(Option::kConnectorInput);
    editor.send(Option::kVideoLossBackground);
    EXPECT_EQ(link.lines, (std::vector<std::string>{"POSPAS\r\n", "POSP12\r\n", "CIR\r\n", "VLBCB\r\n"}));

    editor.select(Option::kPowerOnPage, 65);  // not an item: nothing changes
    EXPECT_EQ(editor.selection(Option::kPowerOnPage), 11);
}

TEST_F(SmallEditorsTest, DisplayPageChoicesAreTheEditorsOwnAndSurviveNew) {
    using Setting = DisplayPageEditor::Setting;
    DisplayPageChoice choice;
    {
        DisplayPageEditor editor(tool, link, choice);
        EXPECT_EQ(editor.selection(Setting::kDisplaySwitch), 1);  // "ON " the first time
        EXPECT_EQ(DisplayPageEditor::items(Setting::kPage)[64], "PAS ");
        editor.select(Setting::kPage, 64);
        editor.send(Setting::kPage);
        editor.select(Setting::kPage, 4);
        editor.send(Setting::kPage);
        editor.select(Setting::kDisplaySwitch, 0);
        editor.send(Setting::kDisplaySwitch);
    }
    EXPECT_EQ(link.lines, (std::vector<std::string>{"PAS\r\n", "P05\r\n", "IDOF\r\n"}));
    reset_settings(tool);
    DisplayPageEditor reopened(tool, link, choice);
    EXPECT_EQ(reopened.selection(Setting::kPage), 4);
    EXPECT_EQ(reopened.selection(Setting::kDisplaySwitch), 0);
}

TEST_F(SmallEditorsTest, SlaveAddressEditorIsAlwaysEnabledAndItsChoiceReachesEveryEditor) {
    tool.model.run.hidden_entry_count = 3;
    SlaveAddressEditor editor(tool);
    editor.open_editor();
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_TRUE(editor.slave_address().enabled);  // even on RS-232C
    editor.select_slave_address(32);
    EXPECT_EQ(tool.model.run.slave_address, 32);
    EXPECT_EQ(editor.window_title("10.0.0.5"), "スレーブアドレスの設定 10.0.0.5");
    tool.config.select_number = -1;
    EXPECT_EQ(editor.window_title("10.0.0.5"), "機器のスレーブアドレス");

    tool.config.rs_control = 1;
    EXPECT_EQ(OtherOptionsEditor(tool, link).slave_address().selected, 32);
    DisplayPageChoice choice;
    EXPECT_EQ(DisplayPageEditor(tool, link, choice).slave_address().selected, 32);
    reset_settings(tool);
    EXPECT_EQ(tool.model.run.slave_address, 32);
}

}  // namespace
}  // namespace tvx
