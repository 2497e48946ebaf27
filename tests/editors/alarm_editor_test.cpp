#include "editors/alarm_editor.h"

#include <gtest/gtest.h>

#include "editors/remote_editor.h"
#include "protocol/recording_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

constexpr const char* kTooShort = "3秒以上を設定してください。";

class AlarmRemoteTest : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingLink link;
    testing::RecordingNotices notices;
    AlarmEditor alarm{tool, link, notices};
    RemoteEditor remote{tool, link};
};

TEST_F(AlarmRemoteTest, HoldTimeIsCheckedBeforeItIsSent) {
    struct Case {
        const char* text;
        const char* sent;  // nullptr: refused
    };
    const Case cases[] = {{"3", "ADT003\r\n"},  {"010", "ADT010\r\n"}, {"999", "ADT999\r\n"},
                          {"5a", "ADT005\r\n"}, {"12a", "ADT012\r\n"}, {"2", nullptr},
                          {"", nullptr},        {"a5", nullptr},       {"002", nullptr},
                          {" 5", nullptr}};
    for (const Case& c : cases) {
        link.lines.clear();
        notices.clear();
        alarm.set_hold_time(c.text);
        EXPECT_EQ(alarm.send_hold_time(), c.sent != nullptr) << c.text;
        if (c.sent) {
            EXPECT_EQ(link.lines, std::vector<std::string>{c.sent});
            EXPECT_TRUE(notices.calls.empty());
        } else {
            EXPECT_TRUE(link.lines.empty()) << c.text;
            EXPECT_EQ(notices.texts("error"), std::vector<std::string>{kTooShort});
        }
        // The text stays as typed, whatever the check says.
        EXPECT_EQ(tool.model.alarm_hold_time, c.text);
    }
}

TEST_F(AlarmRemoteTest, ConnectorTableIsSharedByBothEditors) {
    alarm.send_connectors();
    remote.send_connectors();
    EXPECT_EQ(link.lines[0], "ACA0102030405060708\r\n");
    EXPECT_EQ(link.lines[1], "RCA0102030405060708\r\n");

    remote.connectors().select(2, 9);
    EXPECT_EQ(alarm.connectors().selection(2), 9);
    alarm.send_connectors();
    EXPECT_EQ(link.lines[2], "ACA0102100405060708\r\n");
    EXPECT_EQ(ConnectorTable::label(7), "No.8");
    EXPECT_EQ(ConnectorTable::items().size(), 64u);
    alarm.connectors().select(8, 3);   // no ninth connector
    alarm.connectors().select(0, 64);  // no page 65
    EXPECT_EQ(tool.model.connector_pages[0], 0);
}

TEST_F(AlarmRemoteTest, SelectorsWriteAtOnceAndButtonsSendTheirOneLine) {
    using Setting = AlarmEditor::Setting;
    EXPECT_EQ(AlarmEditor::items(Setting::kDisplay), (std::vector<std::string>{"OFF", " ON"}));
    EXPECT_EQ(alarm.selection(Setting::kDisplay), 1);
    alarm.select(Setting::kMode, 1);
    alarm.select(Setting::kPolarity, 1);
    alarm.select(Setting::kDisplay, 0);
    alarm.select(Setting::kReturn, 0);
    EXPECT_TRUE(link.lines.empty());
    for (Setting s : {Setting::kMode, Setting::kPolarity, Setting::kDisplay, Setting::kReturn}) alarm.send(s);
    EXPECT_EQ(link.lines, (std::vector<std::string>{"AME\r\n", "APB\r\n", "ADOF\r\n", "AROF\r\n"}));

    link.lines.clear();
    remote.select_mode(1);
    remote.send_mode();
    remote.select_mode(2);
    remote.send_mode();
    EXPECT_EQ(link.lines, (std::vector<std::string>{"RMBIT\r\n", "RMOPE\r\n"}));
    EXPECT_EQ(RemoteEditor::mode_items()[1], "BIT      ");

    tool.config.select_number = -1;
    EXPECT_EQ(alarm.window_title("1.2.3.4"), "アラームの設定");
    tool.config.select_number = 1;
    EXPECT_EQ(remote.window_title("1.2.3.4"), "リモートの設定 1.2.3.4");
}

}  // namespace
}  // namespace tvx
