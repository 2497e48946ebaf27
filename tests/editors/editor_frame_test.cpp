#include "editors/editor_frame.h"

#include <gtest/gtest.h>

namespace tvx {
namespace {

TEST(EditorFrame, SlaveSelectorOnlyOnSerialRs485) {
    ToolState tool;
    tool.model.run.slave_address = 32;
    EXPECT_FALSE(slave_selector(tool).enabled);
    EXPECT_EQ(slave_selector(tool).selected, -1);
    tool.config.rs_control = 1;
    EXPECT_TRUE(slave_selector(tool).enabled);
    EXPECT_EQ(slave_selector(tool).selected, 32);
    tool.config.link_interface = 1;
    EXPECT_FALSE(slave_selector(tool).enabled);

    const auto items = slave_address_items();
    ASSERT_EQ(items.size(), 33u);
    EXPECT_EQ(items[0], "00");
    EXPECT_EQ(items[31], "31");
    EXPECT_EQ(items[32], "Bloadcast");
}

TEST(EditorFrame, WindowTitleNamesTheSelectedUnit) {
    ToolState tool;
    tool.model.run.hidden_entry_count = 7;
    editor_opened(tool);
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_EQ(editor_window_title(tool, "文字サイズ", "文字サイズの設定 ", "10.0.0.5"), "文字サイズの設定 10.0.0.5");
    tool.config.select_number = -1;
    EXPECT_EQ(editor_window_title(tool, "文字サイズ", "文字サイズの設定 ", "10.0.0.5"), "文字サイズ");
}

}  // namespace
}  // namespace tvx
