#include "model/settings_compare.h"

#include <gtest/gtest.h>

#include "model/settings_document.h"

namespace tvx {
namespace {

TEST(SettingsCompare, DocumentAgainstModelWithOneColourAndOneScheduleEntryChanged) {
    SettingsModel saved;
    saved.pages[4].title = "ABC";
    saved.schedule[2][5] = {7, 30, 11};
    SettingsModel document;
    read_document(document, write_document(saved));

    SettingsModel read_back = document;
    read_back.pages[4].char_colour = kRed;
    read_back.schedule[2][5].page = kAutoSwitchPage;
    read_back.run.slave_address = 9;  // not part of a document
    read_back.memory.all_blink = 1;

    const std::vector<SettingDifference> diffs = compare_settings(read_back, document);
    ASSERT_EQ(diffs.size(), 2u);
    EXPECT_EQ(diffs[0].where, "P05");
    EXPECT_EQ(diffs[0].setting, "文字色");
    EXPECT_EQ(diffs[0].value_a, "赤");
    EXPECT_EQ(diffs[0].value_b, "白");
    EXPECT_EQ(diffs[1].where, "3日");
    EXPECT_EQ(diffs[1].setting, "パターン 06");
    EXPECT_EQ(diffs[1].value_a, "07:30 PAS");
    EXPECT_EQ(diffs[1].value_b, "07:30 12");  // as the page selector shows it

    EXPECT_TRUE(compare_settings(document, document).empty());
}

TEST(SettingsCompare, EveryKindOfSettingInEditorWords) {
    SettingsModel a;
    SettingsModel b;
    b.pages[0].title = "\x83\x65";  // Shift JIS bytes stay as stored
    b.pages[63].char_size = 0;
    b.pages[63].display_offset = 12;
    b.pages[63].char_level = 7;  // outside its list
    b.date_display_range = 3;
    b.alarm_hold_time = "020";
    b.connector_pages[1] = 40;
    b.power_on_page = kAutoSwitchPage;
    b.network.subnet_class = 0;

    const std::vector<SettingDifference> d = compare_settings(a, b);
    ASSERT_EQ(d.size(), 9u);
    EXPECT_TRUE(d[0].values_are_shift_jis);
    EXPECT_EQ(d[0].value_b, "\x83\x65");
    EXPECT_EQ(d[1].where + d[1].setting + d[1].value_a + d[1].value_b, "P64文字サイズMEDIUMLARGE");
    EXPECT_EQ(d[2].value_a + d[2].value_b, "0712");
    EXPECT_EQ(d[3].value_a + "|" + d[3].value_b, "HIGH|? (7)");
    EXPECT_FALSE(d[3].values_are_shift_jis);
    EXPECT_EQ(d[4].where + d[4].setting + d[4].value_b, "日付，時刻表示範囲月日時分秒");
    EXPECT_EQ(d[5].where + d[5].setting + d[5].value_b, "その他電源投入時ページPAS");
    EXPECT_EQ(d[6].setting + d[6].value_a + d[6].value_b, "保持時間010020");
    EXPECT_TRUE(d[6].values_are_shift_jis);  // typed text, which may hold any character
    EXPECT_EQ(d[7].setting + "|" + d[7].value_a + "|" + d[7].value_b, "No.2|02|41");
    EXPECT_EQ(d[8].where + d[8].setting + d[8].value_b, "ネットワークSubnet MaskClass A");
}

}  // namespace
}  // namespace tvx
