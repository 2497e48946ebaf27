#include "ui/glyph_list_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "glyphs/glyph_text.h"
#include "support/recording_notices.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

using testing::RecordingLine;

struct ScriptedFiles : GlyphListDialogs {
    bool confirm_clear() override { return true; }
    std::optional<std::filesystem::path> ask_open_path(std::string_view, std::string_view) override {
        return next();
    }
    std::optional<std::filesystem::path> ask_save_path(std::string_view, std::string_view) override {
        return next();
    }
    std::optional<std::filesystem::path> ask_bitmap_path(std::string_view title,
                                                         std::string_view name) override {
        bitmap_asked.emplace_back(std::string(title) + " " + std::string(name));
        return next();
    }
    bool confirm_overwrite(const std::filesystem::path&) override { return true; }
    std::optional<std::string> next() {
        if (paths.empty()) return std::nullopt;
        auto path = paths.front();
        paths.pop_front();
        return path;
    }
    std::deque<std::optional<std::string>> paths;
    std::vector<std::string> bitmap_asked;
};

class GlyphListDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        tool.config.select_number = -1;
    }
    std::unique_ptr<GlyphListDialog> open(const GlyphSize& size) {
        auto dialog =
            std::make_unique<GlyphListDialog>(tool, notices, line, files, memory, size, "", nullptr);
        dialog->show();
        QCoreApplication::processEvents();
        dialog->redraw_tick();
        return dialog;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    RecordingLine line;
    ScriptedFiles files;
    GlyphEditorMemory memory;
};

TEST_F(GlyphListDialogTest, ThumbnailsNumbersAndControls) {
    set_glyph_dot(tool.glyphs.large_bank[0], kLarge, 0, 0, true);
    set_glyph_dot(tool.glyphs.large_bank[0], kLarge, 47, 47, true);
    auto dialog = open(kLarge);
    EXPECT_EQ(dialog->windowTitle(), "外字一覧（大文字）");
    EXPECT_EQ(dialog->cell_area()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(GlyphCellArea::cell_rect(8, 7), QRect(126, 157, 96, 96));
    ASSERT_EQ(dialog->cell_area()->cells().size(), 14u);
    const QImage& first = dialog->cell_area()->cells()[0];
    EXPECT_EQ(first.size(), QSize(96, 96));
    EXPECT_EQ(first.pixelColor(1, 1), QColor(255, 255, 255));
    EXPECT_EQ(first.pixelColor(2, 2), QColor(0, 0, 0));
    EXPECT_EQ(first.pixelColor(95, 95), QColor(255, 255, 255));
    EXPECT_EQ(dialog->number_field(0)->text(), "No.1");
    EXPECT_EQ(dialog->number_field(13)->text(), "No.14");
    EXPECT_EQ(dialog->group_selector()->title(), "番号切り替え");
    EXPECT_EQ(dialog->group_selector()->combo()->itemText(4), "No.57～70");
    EXPECT_EQ(dialog->progress_bar()->maximum(), 72);
    const QStringList texts{dialog->clear_button()->text(), dialog->open_button()->text(),
                            dialog->save_button()->text(),  dialog->save_as_button()->text(),
                            dialog->read_button()->text(),  dialog->register_button()->text(),
                            dialog->close_button()->text()};
    EXPECT_EQ(texts,
              (QStringList{"バッファクリア", "開く", "保存", "名前をつけて保存", "リード", "登録", "Close"}));

    dialog->group_selector()->combo()->setCurrentIndex(4);
    emit dialog->group_selector()->combo()->activated(4);
    EXPECT_EQ(dialog->number_field(13)->text(), "No.70");
    dialog->grab().save(QStringLiteral("/tmp/glyph_list_large.png"));
}

TEST_F(GlyphListDialogTest, DoubleClicksOpenTheEditorOrExportTheCell) {
    auto dialog = open(kLarge);
    dialog->group_selector()->combo()->setCurrentIndex(2);
    emit dialog->group_selector()->combo()->activated(2);
    int editors = 0;
    dialog->open_editor = [&] {
        ++editors;
        tool.glyphs.large_bank[36].replace(0, 1, "F");  // as an edit would
    };
    QTest::mouseDClick(dialog.get(), Qt::LeftButton, {}, QPoint(130, 200));
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(tool.glyphs.current_slot, 36);
    EXPECT_EQ(dialog->cell_area()->cells()[8].pixelColor(0, 0), QColor(255, 255, 255));  // drawn again

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("glyph"));
    files.paths = {path.toStdString()};
    QTest::mouseDClick(dialog.get(), Qt::RightButton, {}, QPoint(130, 200));
    EXPECT_EQ(files.bitmap_asked.back(), "大文字外字登録番号37をbmpファイルで保存 gl37.bmp");
    QImage written(path + QStringLiteral(".bmp"));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(96, 96));
    const QImage& shown = dialog->cell_area()->cells()[8];
    for (int y = 0; y < 96; y += 5) {
        for (int x = 0; x < 96; x += 5)
            ASSERT_EQ(written.pixelColor(x, y), shown.pixelColor(x, y)) << x << "," << y;
    }
    EXPECT_EQ(written.pixelColor(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(written.pixelColor(95, 95), QColor(0, 0, 0));  // a large thumbnail fills its cell
    EXPECT_EQ(QFileInfo(path + QStringLiteral(".bmp")).size(), 27702);
    EXPECT_EQ(memory.bitmap_path, (path + QStringLiteral(".bmp")).toStdString());

    // While all glyphs are registered no editor opens, but a bitmap can still be exported.
    notices.answers = {true};
    dialog->register_button()->click();
    ASSERT_TRUE(dialog->sequence_timer().isActive());
    QTest::mouseDClick(dialog.get(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(tool.glyphs.current_slot, 0);
    files.paths = {std::nullopt};
    QTest::mouseDClick(dialog.get(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(files.bitmap_asked.back(), "大文字外字登録番号29をbmpファイルで保存 gl29.bmp");
    EXPECT_TRUE(dialog->sequence_timer().isActive());
}

TEST_F(GlyphListDialogTest, ASequenceRunsOnItsTimerAndCloseEndsIt) {
    auto dialog = open(kSmall);
    notices.answers = {true};
    dialog->register_button()->click();
    EXPECT_TRUE(dialog->sequence_timer().isActive());
    EXPECT_EQ(dialog->sequence_timer().interval(), 2000);
    EXPECT_EQ(dialog->percent_field()->text(), " 00.0");
    for (int i = 0; i < 64; ++i) dialog->sequence_tick();
    EXPECT_EQ(line.lines.size(), 64u);
    EXPECT_EQ(dialog->percent_field()->text(), " 25.0");
    EXPECT_EQ(dialog->progress_bar()->value(), 64);
    dialog->close_button()->click();
    EXPECT_FALSE(dialog->sequence_timer().isActive());
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);

    auto again = open(kMedium);
    again->read_button()->click();
    EXPECT_EQ(again->sequence_timer().interval(), 300);
    for (int i = 0; i < 3; ++i) again->sequence_tick();  // waits for the first answer
    EXPECT_EQ(line.lines.size(), 65u);
    again->reject();
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
}

TEST_F(GlyphListDialogTest, StopEndsARegisterAllAtOnceAndKeepsItsProgress) {
    auto dialog = open(kSmall);
    notices.answers = {true};
    EXPECT_FALSE(dialog->job_view()->stop_button()->isEnabled());
    dialog->register_button()->click();
    EXPECT_TRUE(dialog->job_view()->stop_button()->isEnabled());
    for (int i = 0; i < 10; ++i) dialog->sequence_tick();
    EXPECT_EQ(dialog->job_view()->text_label()->text(),
              QStringLiteral("No.10 (10 / 256)  残り 約 8 分 12 秒"));
    // At the 2 s pace the stop does not wait for the timer.
    dialog->job_view()->stop_button()->click();
    EXPECT_FALSE(dialog->sequence_timer().isActive());
    EXPECT_EQ(line.lines.size(), 10u);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    EXPECT_EQ(dialog->progress_bar()->value(), 10);
    EXPECT_EQ(dialog->percent_field()->text(), QStringLiteral(" 03.9"));
    EXPECT_TRUE(dialog->job_view()->text_label()->text().startsWith(QStringLiteral("中止しました。")));
    EXPECT_FALSE(dialog->job_view()->stop_button()->isEnabled());
    ASSERT_EQ(notices.texts("status").size(), 1u);
    EXPECT_EQ(notices.texts("status")[0].rfind("外字一覧（小文字） 登録: 中止 (10 / 256 ステップ, ", 0), 0u);
    EXPECT_TRUE(notices.texts("error").empty());
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace tvx
