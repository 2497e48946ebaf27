#include "ui/glyph_insert_dialog.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::choose;

using testing::RecordingLine;

TEST(GlyphInsertDialog, SelectorsRefillOnASizeChangeAndSetSendsTheLine) {
    testing::ui_app();
    ToolState tool;
    tool.config.select_number = -1;
    RecordingLine line;
    GlyphEditorMemory memory;
    memory.insert_size = 2;
    memory.insert_position = 199;
    tool.glyphs.current_slot = 199;
    GlyphInsertDialog dialog(tool, line, memory, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "外字挿入");
    EXPECT_EQ(dialog.page_group()->title(), "ページ");
    EXPECT_EQ(dialog.size_group()->title(), "フォント サイズ");
    EXPECT_EQ(dialog.number_group()->title(), "外字登録番号");
    EXPECT_EQ(dialog.position_group()->title(), "挿入位置");
    EXPECT_EQ(dialog.slave_group()->title(), "スレーブアドレス");
    EXPECT_EQ(dialog.set_button()->text(), "設定");
    EXPECT_EQ(dialog.close_button()->text(), "Close");
    EXPECT_EQ(dialog.page_group()->combo()->count(), 64);
    EXPECT_EQ(dialog.size_group()->combo()->currentText(), "小");
    EXPECT_EQ(dialog.number_group()->combo()->currentText(), "200");
    EXPECT_EQ(dialog.position_group()->combo()->currentText(), "200");

    choose(dialog.size_group(), 0);
    EXPECT_EQ(dialog.number_group()->combo()->count(), 70);
    EXPECT_EQ(dialog.position_group()->combo()->count(), 112);
    EXPECT_EQ(dialog.number_group()->combo()->currentText(), "001");
    EXPECT_EQ(dialog.position_group()->combo()->currentText(), "001");

    choose(dialog.page_group(), 39);
    choose(dialog.number_group(), 36);
    choose(dialog.position_group(), 49);
    dialog.set_button()->click();
    EXPECT_EQ(line.lines.back(), "G037P40I050\r\n");
    EXPECT_EQ(tool.model.run.current_page, 39);
    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/glyph_insert.png"));
}

TEST(GlyphInsertDialog, ANumberLeftOverFromTheSmallListIsShownAsItIsSent) {
    testing::ui_app();
    ToolState tool;
    RecordingLine line;
    GlyphEditorMemory memory;
    memory.insert_size = 0;          // 大
    tool.glyphs.current_slot = 200;  // small glyph 201 was double-clicked
    GlyphInsertDialog dialog(tool, line, memory, "", nullptr);
    EXPECT_EQ(dialog.number_group()->combo()->currentText(), "001");
    dialog.set_button()->click();
    EXPECT_EQ(line.lines.back().substr(0, 4), "G001");
}

}  // namespace
}  // namespace tvx
