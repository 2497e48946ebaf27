#include "editors/glyph_insert_controller.h"

#include <gtest/gtest.h>

#include "editor_unit_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

class GlyphInsertTest : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingNotices notices;
    testing::EditorUnitLink link{tool, notices};
    GlyphEditorMemory memory;
    GlyphInsertController insert{tool, link, memory};
};

TEST_F(GlyphInsertTest, ListsFollowTheSize) {
    EXPECT_EQ(GlyphInsertController::page_items().front(), "01");
    EXPECT_EQ(GlyphInsertController::page_items().back(), "64");
    EXPECT_EQ(GlyphInsertController::size_items(), (std::vector<std::string>{"大", "中", "小"}));
    EXPECT_EQ(insert.number_items().front(), "001");
    EXPECT_EQ(insert.number_items().back(), "070");
    EXPECT_EQ(insert.position_items().back(), "112");
    insert.select_size(1);
    EXPECT_EQ(insert.number_items().back(), "160");
    EXPECT_EQ(insert.position_items().back(), "168");
    insert.select_size(2);
    EXPECT_EQ(insert.number_items().back(), "256");
    EXPECT_EQ(insert.position_items().back(), "224");
}

TEST_F(GlyphInsertTest, SendsTheGLine) {
    insert.select_size(1);
    insert.select_number(159);
    insert.select_page(63);
    insert.select_position(167);
    insert.send();
    EXPECT_EQ(link.lines.back(), "G160P64I168\r\n");
    EXPECT_EQ(tool.model.run.current_page, 63);
    EXPECT_EQ(link.unit.lines_received(), 1);  // the unit took it
    EXPECT_TRUE(notices.texts("error").empty());
}

TEST_F(GlyphInsertTest, ASmallerSizeBringsNumberAndPositionBackToTheFirstEntry) {
    insert.select_size(2);
    insert.select_number(199);
    insert.select_position(199);
    EXPECT_TRUE(insert.select_size(0));
    EXPECT_EQ(insert.number_selection(), 0);
    EXPECT_EQ(insert.position_selection(), 0);
    EXPECT_TRUE(insert.select_size(2));
    EXPECT_EQ(insert.number_selection(), 0);
    EXPECT_EQ(insert.position_selection(), 0);

    insert.select_size(0);
    insert.select_number(36);
    insert.select_position(49);
    EXPECT_TRUE(insert.select_size(1));
    EXPECT_EQ(insert.number_items()[static_cast<std::size_t>(insert.number_selection())], "037");
    EXPECT_EQ(insert.position_items()[static_cast<std::size_t>(insert.position_selection())], "050");
    EXPECT_FALSE(insert.select_size(1));  // the same size again: nothing changes
}

TEST_F(GlyphInsertTest, WhatIsSentIsWhatIsShownAfterANumberLeftOverFromAnotherList) {
    tool.glyphs.current_slot = 200;  // small glyph 201, double-clicked in the small list
    memory.insert_size = 0;          // 大 chosen last time
    memory.insert_position = 150;    // beyond 112, as no selection can leave it; still kept in range
    insert.open();
    EXPECT_EQ(insert.number_items()[static_cast<std::size_t>(insert.number_selection())], "001");
    EXPECT_EQ(insert.position_items()[static_cast<std::size_t>(insert.position_selection())], "001");
    insert.send();
    EXPECT_EQ(link.lines.back().substr(0, 4), "G001");
    EXPECT_EQ(link.lines.back().substr(7), "I001\r\n");

    // In range for the chosen size, the glyph of the list stays chosen.
    tool.glyphs.current_slot = 200;
    memory.insert_size = 2;
    insert.open();
    EXPECT_EQ(insert.number_items()[static_cast<std::size_t>(insert.number_selection())], "201");
    insert.send();
    EXPECT_EQ(link.lines.back().substr(0, 4), "G201");

    tool.model.run.hidden_entry_count = 3;
    tool.config.select_number = -1;
    insert.open();
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_EQ(insert.window_title("9.9.9.9"), "外字挿入");
    tool.config.select_number = 2;
    EXPECT_EQ(insert.window_title("9.9.9.9"), "外字挿入の設定 9.9.9.9");
}

}  // namespace
}  // namespace tvx
