#include "ui/glyph_editor_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "support/recording_notices.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

using testing::RecordingLine;

struct YesQuestions : GlyphQuestions {
    bool confirm_clear() override { return true; }
};

class GlyphEditorDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        tool.config.select_number = -1;
    }
    std::unique_ptr<GlyphEditorDialog> open(const GlyphSize& size) {
        auto dialog =
            std::make_unique<GlyphEditorDialog>(tool, notices, line, questions, memory, size, "", nullptr);
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    RecordingLine line;
    YesQuestions questions;
    GlyphEditorMemory memory;
};

TEST_F(GlyphEditorDialogTest, GridAtTwelveTwelveAndClicksInClientPixels) {
    auto dialog = open(kLarge);
    EXPECT_EQ(dialog->windowTitle(), "外字登録設定（大文字）");
    EXPECT_EQ(dialog->grid()->geometry(), QRect(12, 12, 480, 384));
    dialog->redraw_tick();  // the first drawing is due after opening
    EXPECT_EQ(dialog->grid()->image().pixelColor(15, 92), QColor(0, 0, 255));

    QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, QPoint(21, 100));
    EXPECT_EQ(tool.glyphs.glyph_buffer.substr(0, 576), std::string(576, '0'));
    QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, QPoint(22, 100));
    EXPECT_TRUE(dialog->controller().dot_lit(1, 11));
    EXPECT_EQ(dialog->grid()->image().pixelColor(15, 92), QColor(255, 255, 255));
    EXPECT_EQ(dialog->grid()->image().pixelColor(10, 88), QColor(255, 255, 255));
    EXPECT_EQ(dialog->grid()->image().pixelColor(20, 88), QColor(0, 0, 0));  // the next dot's outline
    QTest::mouseClick(dialog.get(), Qt::RightButton, {}, QPoint(22, 100));
    EXPECT_FALSE(dialog->controller().dot_lit(1, 11));
    EXPECT_EQ(memory.glyph_edited, 1);

    // A drag lights the dots under the pointer and nothing between them.
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(dialog.get(), QPoint(300, 100));
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, QPoint(300, 100));
    int lit = 0;
    for (int x = 0; x < 48; ++x) lit += dialog->controller().dot_lit(x, 11);
    EXPECT_EQ(lit, 2);

    dialog->grid()->grab().save(QStringLiteral("/tmp/glyph_editor_grid.png"));
    dialog->grab().save(QStringLiteral("/tmp/glyph_editor_large.png"));
}

TEST_F(GlyphEditorDialogTest, ControlsSelectorsAndSampleField) {
    tool.glyphs.current_slot = 119;
    memory.sample_text = "\x88\x9f";
    auto dialog = open(kMedium);
    EXPECT_EQ(dialog->windowTitle(), "外字登録（中文字）の設定");
    EXPECT_EQ(dialog->number_group()->title(), "登録番号");
    EXPECT_EQ(dialog->number_group()->combo()->count(), 160);
    EXPECT_EQ(dialog->number_group()->combo()->currentText(), "120");
    EXPECT_EQ(dialog->slave_group()->combo()->count(), 33);
    EXPECT_FALSE(dialog->slave_group()->combo()->isEnabled());
    EXPECT_EQ(dialog->clear_button()->text(), "バッファクリア");
    EXPECT_EQ(dialog->other_sizes_button()->text(), "他のサイズ作成");
    EXPECT_EQ(dialog->register_button()->text(), "登録");
    EXPECT_EQ(dialog->read_button()->text(), "リード");
    EXPECT_EQ(dialog->sample_read_button()->text(), "リード");
    EXPECT_EQ(dialog->close_button()->text(), "Close");
    QStringList groups;
    for (const QGroupBox* box : dialog->findChildren<QGroupBox*>()) groups << box->title();
    EXPECT_TRUE(groups.contains("スレーブアドレス"));
    EXPECT_TRUE(groups.contains("サンプル"));
    EXPECT_EQ(dialog->sample_field()->text(), "亜");

    dialog->sample_field()->setText(QStringLiteral("亜亜"));  // four bytes: not taken
    EXPECT_EQ(dialog->sample_field()->text(), "亜");
    dialog->sample_field()->setText(QStringLiteral("A"));
    EXPECT_EQ(memory.sample_text, "");
    dialog->sample_field()->setText(QStringLiteral("漢"));
    EXPECT_EQ(memory.sample_text, to_shift_jis(QStringLiteral("漢")));
    dialog->sample_read_button()->click();
    EXPECT_EQ(line.lines.back(), "RFBMM3441\r\n");
    EXPECT_TRUE(notices.texts("box").empty());
    // A paste keeps its first character, in its code page 932 form, and says what was left out.
    dialog->sample_field()->setText(QStringLiteral("〜字"));
    EXPECT_EQ(dialog->sample_field()->text(), "〜");
    EXPECT_EQ(memory.sample_text, "\x81\x60");
    EXPECT_EQ(notices.texts("box"), std::vector<std::string>{"入りきらない 1 文字を省きました"});
    dialog->sample_field()->setText(QStringLiteral("é"));  // not in the code page: not taken
    EXPECT_EQ(dialog->sample_field()->text(), "〜");
    dialog->sample_field()->setText(QStringLiteral("漢"));

    dialog->number_group()->combo()->activated(4);
    EXPECT_EQ(tool.glyphs.current_slot, 4);
    dialog->read_button()->click();
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 1);
    dialog->close_button()->click();
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(tool.glyphs.redraw_editor);
}

// The keys act on the editor as the buttons do; in the sample field they stay the field's own.
TEST_F(GlyphEditorDialogTest, UndoRedoCopyAndPasteByKeyRedrawAndShowTheNumber) {
    auto dialog = open(kLarge);
    EXPECT_FALSE(dialog->undo_button()->isEnabled());
    EXPECT_FALSE(dialog->paste_button()->isEnabled());
    QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, QPoint(22, 100));
    EXPECT_TRUE(dialog->undo_button()->isEnabled());
    QTest::keyClick(dialog.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(dialog->paste_button()->isEnabled());

    dialog->number_group()->combo()->setCurrentIndex(9);
    dialog->number_group()->combo()->activated(9);
    QTest::keyClick(dialog->number_group()->combo(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(glyph_bank(tool.glyphs, kLarge)[9].substr(0, 576), tool.glyphs.glyph_buffer.substr(0, 576));
    QTest::mouseClick(dialog.get(), Qt::RightButton, {}, QPoint(22, 100));
    EXPECT_EQ(dialog->grid()->image().pixelColor(15, 92), QColor(0, 0, 255));

    QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(dialog->controller().dot_lit(1, 11));
    EXPECT_EQ(dialog->grid()->image().pixelColor(15, 92), QColor(255, 255, 255));
    QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier);  // the paste
    QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier);  // the first dot, on number 01
    EXPECT_FALSE(dialog->controller().dot_lit(1, 11));
    EXPECT_EQ(dialog->number_group()->combo()->currentText(), "01");
    EXPECT_FALSE(dialog->undo_button()->isEnabled());
    QTest::keyClick(dialog.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(dialog->controller().dot_lit(1, 11));
    EXPECT_TRUE(dialog->redo_button()->isEnabled());

    dialog->sample_field()->setFocus();
    QTest::keyClick(dialog->sample_field(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(dialog->controller().dot_lit(1, 11));
    dialog->grab().save(QStringLiteral("/tmp/glyph_editor_edit_keys.png"));
}

}  // namespace
}  // namespace tvx
