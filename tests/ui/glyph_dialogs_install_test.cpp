#include "app/glyph_dialogs_install.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "protocol/reply_handler.h"
#include "running_tool.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"
#include "ui/glyph_editor_dialog.h"
#include "ui/glyph_insert_dialog.h"
#include "ui/glyph_list_dialog.h"
#include "ui/per_page_dialog.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::choose;

// The glyph tools as the operator reaches them: through their menu ids in the running tool.
class GlyphMenuTest : public testing::RunningToolTest {
  protected:
    // COM1 is a pseudo-terminal of the test's own: the machine's first serial port may be missing or held
    // by another test, and a sequence stops at once when its port is closed.
    void SetUp() override {
        TVX_NEEDS_PTY();
        ASSERT_TRUE(pty.ok());
        QFile ini(dir.filePath("tvx230.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[TVX-230_Section]\r\nInterface=0\r\ncom_port=0\r\nrs_control=0\r\nCOM1=" +
                  QByteArray::fromStdString(pty.slave_path()) + "\r\n");
        ini.close();
        start();
        app->tool().config.select_number = -1;
    }

    // Runs the command; inspect() sees the dialog it must have opened, which is then closed.
    void open_dialog(int id, const std::function<void(QDialog*)>& inspect) {
        EXPECT_FALSE(open(id, inspect).isEmpty()) << "nothing opened for " << id;
    }

    testing::PtyPair pty;
};

TEST_F(GlyphMenuTest, TheEntriesAreEnabledAndOpenTheirDialogs) {
    const std::pair<int, const char*> entries[] = {{command::kGlyphListSmall, "外字一覧（小文字）"},
                                                   {command::kGlyphListMedium, "外字一覧（中文字）"},
                                                   {command::kGlyphListLarge, "外字一覧（大文字）"},
                                                   {command::kGlyphInsert, "外字挿入"}};
    window->refresh_menu_state();
    for (const auto& [id, caption] : entries) {
        EXPECT_TRUE(window->action(id)->isEnabled()) << caption;
        QString shown;
        open_dialog(id, [&](QDialog* dialog) { shown = dialog->windowTitle(); });
        EXPECT_EQ(shown, QString::fromUtf8(caption));
    }
    EXPECT_TRUE(window->action(command::kGlyphInfo)->isEnabled());
}

TEST_F(GlyphMenuTest, TheChosenGlyphAndPageAreSharedAcrossDialogs) {
    ToolState& tool = app->tool();
    // Large list, page 3, second cell of the second row: the editor opens on number 37.
    QString editor_number;
    open_dialog(command::kGlyphListLarge, [&](QDialog* dialog) {
        auto* list = qobject_cast<GlyphListDialog*>(dialog);
        ASSERT_NE(list, nullptr);
        choose(list->group_selector(), 2);
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<GlyphEditorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            editor_number = editor->number_group()->combo()->currentText();
            editor->grab().save(QStringLiteral("/tmp/glyph_editor_from_list.png"));
            editor->close_button()->click();
        });
        QTest::mouseDClick(list, Qt::LeftButton, {}, QPoint(130, 200));
    });
    EXPECT_EQ(editor_number, "37");
    EXPECT_EQ(tool.glyphs.current_slot, 36);

    QString number;
    open_dialog(command::kGlyphInsert, [&](QDialog* dialog) {
        auto* insert = qobject_cast<GlyphInsertDialog*>(dialog);
        ASSERT_NE(insert, nullptr);
        EXPECT_EQ(insert->size_group()->combo()->currentText(), "大");
        number = insert->number_group()->combo()->currentText();
        choose(insert->page_group(), 39);
    });
    EXPECT_EQ(number, "037");

    std::vector<std::string> preview;
    QString page;
    open_dialog(command::kCharSize, [&](QDialog* dialog) {
        auto* editor = qobject_cast<PerPageDialog*>(dialog);
        ASSERT_NE(editor, nullptr);
        page = editor->page_group()->combo()->currentText();
        for (const PreviewLine& line : editor->editor().draw_preview()) preview.push_back(line.text);
    });
    EXPECT_EQ(page, "40");
    ASSERT_EQ(preview.size(), 32u);
    EXPECT_EQ(preview.front().substr(0, 3), "P33");
    EXPECT_EQ(preview.back().substr(0, 3), "P64");
}

TEST_F(GlyphMenuTest, AfterAReadAllTheSlotIsBackAtZero) {
    ToolState& tool = app->tool();
    tool.glyphs.current_slot = 12;
    open_dialog(command::kGlyphListMedium, [&](QDialog* dialog) {
        auto* list = qobject_cast<GlyphListDialog*>(dialog);
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(list->controller().read_all());
        // No unit answers here: answer each request as the unit would, with a data line.
        for (int slot = 0; slot < 160; ++slot) {
            list->sequence_tick();
            ASSERT_EQ(tool.glyphs.glyph_reply_pending, 1) << slot;
            std::string data = "FBMM0000" + std::string(256, slot % 2 ? 'F' : '0') + "\r\n";
            handle_serial_reply(tool, notices, data);
        }
        list->sequence_tick();
        EXPECT_FALSE(list->sequence_timer().isActive());
        EXPECT_EQ(list->percent_field()->text(), "   ");
        list->grab().save(QStringLiteral("/tmp/glyph_list_medium.png"));
    });
    EXPECT_EQ(tool.glyphs.current_slot, 0);
    EXPECT_EQ(tool.glyphs.medium_bank[1].substr(0, 256), std::string(256, 'F'));
}

}  // namespace
}  // namespace tvx
