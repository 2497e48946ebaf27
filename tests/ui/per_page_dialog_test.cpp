#include "ui/per_page_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "editors/editor_unit_link.h"
#include "preview/monitor_preview.h"
#include "support/recording_notices.h"
#include "ui/monitor_preview_view.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::button_texts;
using testing::choose;
using testing::group_titles;
using testing::items_of;

// Whether the preview frame shows anything but white in a strip of pixels.
bool inked(const QImage& image, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return true;
        }
    }
    return false;
}

class PerPageDialogTest : public testing::EditorDialogTest {};

TEST_F(PerPageDialogTest, CharacterSizeDialogShowsItsTextsInOrder) {
    tool.config.select_number = -1;
    tool.model.run.current_page = 4;
    PerPageDialog dialog(tool, link, per_page_form(PerPageMember::kCharSize), "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "文字サイズ");
    EXPECT_EQ(group_titles(&dialog),
              (QStringList{"ページ", "サイズ", "全ページ同サイズ", "スレーブアドレス"}));
    EXPECT_EQ(button_texts(&dialog), (QStringList{"ページ設定", "全設定", "Close"}));
    EXPECT_EQ(items_of(dialog.value_group(0)->combo()), (QStringList{"LARGE ", "MEDIUM", "SMALL "}));
    EXPECT_EQ(items_of(dialog.all_pages_group(0)->combo()), (QStringList{"LARGE ", "MEDIUM", "SMALL "}));
    EXPECT_EQ(dialog.page_group()->combo()->count(), 64);
    EXPECT_EQ(dialog.page_group()->combo()->currentIndex(), 4);
    EXPECT_EQ(dialog.value_group(0)->combo()->currentText(), "MEDIUM");
    // RS-232C: the slave address selector is there but disabled and empty.
    EXPECT_EQ(dialog.slave_group()->combo()->count(), 33);
    EXPECT_FALSE(dialog.slave_group()->combo()->isEnabled());
    EXPECT_EQ(dialog.slave_group()->combo()->currentIndex(), -1);
    // Enter must not send: no button takes it.
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) EXPECT_FALSE(button->autoDefault());
}

TEST_F(PerPageDialogTest, ColourDialogTitleNamesTheSelectedUnitAndItsSelectorsStandInTwoRows) {
    tool.config.select_number = 3;
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 32;
    PerPageDialog dialog(tool, link, per_page_form(PerPageMember::kCharColour), "192.168.1.7", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "文字＆縁取り色の設定 192.168.1.7");
    EXPECT_EQ(group_titles(&dialog), (QStringList{"ページ", "文字色", "全ページ同文字色", "縁取り色",
                                                  "全ページ同縁取り色", "スレーブアドレス"}));
    EXPECT_TRUE(dialog.slave_group()->combo()->isEnabled());
    EXPECT_EQ(dialog.slave_group()->combo()->currentText(), "Bloadcast");
    dialog.show();
    dialog.adjustSize();
    EXPECT_LT(dialog.page_group()->y(), dialog.slave_group()->y());
    EXPECT_EQ(dialog.slave_group()->y(), dialog.all_pages_group(0)->y());
    EXPECT_EQ(dialog.page_group()->y(), dialog.value_group(1)->y());
}

TEST_F(PerPageDialogTest, ChoicesChangeTheModelAndTheButtonsSendToTheUnit) {
    PerPageDialog dialog(tool, link, per_page_form(PerPageMember::kCharSize), "", nullptr);
    choose(dialog.page_group(), 39);
    choose(dialog.value_group(0), 0);
    EXPECT_EQ(tool.model.pages[39].char_size, 0);
    EXPECT_GE(dialog.preview()->draw_count(), 1);
    EXPECT_TRUE(link.lines.empty());

    dialog.page_button()->click();
    EXPECT_EQ(link.unit.settings().pages[39].char_size, 0);
    EXPECT_EQ(link.unit.settings().pages[0].char_size, 1);

    choose(dialog.all_pages_group(0), 2);
    EXPECT_EQ(dialog.value_group(0)->combo()->currentIndex(), 2);
    dialog.all_button()->click();
    for (const PageSettings& page : link.unit.settings().pages) EXPECT_EQ(page.char_size, 2);
    EXPECT_EQ(notices.count("error", "Command Error"), 0);
    EXPECT_EQ(tool.link.success_pending, 1);
}

TEST_F(PerPageDialogTest, PreviewIsDrawnByTheTimerAndNotByItsOwnRepaint) {
    PerPageDialog dialog(tool, link, per_page_form(PerPageMember::kCharSize), "", nullptr);
    EXPECT_TRUE(dialog.preview_timer().isActive());
    EXPECT_EQ(dialog.preview_timer().interval(), 200);
    EXPECT_EQ(dialog.preview()->draw_count(), 0);
    dialog.preview_tick();
    EXPECT_EQ(dialog.preview()->draw_count(), 1);
    EXPECT_FALSE(dialog.preview_timer().isActive());
    EXPECT_TRUE(inked(dialog.preview()->image(), QRect(20, 171, 60, 14)));  // line of page 8
    EXPECT_FALSE(inked(dialog.preview()->image(), QRect(0, 0, 19, 200)));

    dialog.show();
    QApplication::processEvents();
    // The window's repaint makes the preview due again, at the short delay.
    EXPECT_TRUE(dialog.editor().preview().pending());
    EXPECT_EQ(dialog.preview_timer().interval(), 20);
    dialog.preview_tick();
    QApplication::processEvents();
    // Drawing repaints only the frame, which must not make the preview due again (no endless redraw).
    EXPECT_FALSE(dialog.editor().preview().pending());
}

TEST_F(PerPageDialogTest, TheMonitorPreviewBesideTheTextPreviewFollowsEachChoice) {
    tool.model.pages[5].title = "\x93\xFA\x96\x7B";
    tool.model.run.current_page = 5;
    PerPageDialog dialog(tool, link, per_page_form(PerPageMember::kDisplayPosition), "", nullptr);
    const auto picture = [&](int page) {
        return render_monitor_preview(PreviewScene{tool.model, tool.glyphs, page, 0, {}, nullptr},
                                      QSize(360, 270));
    };
    const QImage bottom = dialog.monitor()->image();
    EXPECT_EQ(bottom.size(), QSize(360, 270));
    choose(dialog.value_group(0), 0);  // TOP
    const QImage top = dialog.monitor()->image();
    EXPECT_NE(top, bottom);
    EXPECT_EQ(top, picture(5));
    choose(dialog.page_group(), 6);  // another page, without a title: the picture alone
    EXPECT_EQ(dialog.monitor()->image(), picture(6));
    EXPECT_EQ(picture(6), colour_bars().scaled(360, 270, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    EXPECT_FALSE(dialog.monitor()->animation_timer().isActive())
        << "a still page is not drawn again and again";
}

TEST_F(PerPageDialogTest, CloseEndsTheDialogKeepingTheChoices) {
    PerPageDialog dialog(tool, link, per_page_form(PerPageMember::kCharLevel), "", nullptr);
    EXPECT_EQ(button_texts(&dialog), (QStringList{"設定", "全設定", "Close"}));
    EXPECT_EQ(group_titles(&dialog),
              (QStringList{"ページ", "文字レベル", "同文字レベル", "スレーブアドレス"}));
    dialog.show();
    choose(dialog.value_group(0), 0);
    dialog.close_button()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(tool.model.pages[0].char_level, 0);
    EXPECT_TRUE(link.lines.empty());
}

TEST_F(PerPageDialogTest, Screenshots) {
    tool.config.rs_control = 1;
    for (PerPageMember member : {PerPageMember::kCharSize, PerPageMember::kCharColour}) {
        PerPageDialog dialog(tool, link, per_page_form(member), "", nullptr);
        dialog.show();
        dialog.preview_tick();
        QApplication::processEvents();
        const QImage shot = dialog.grab().toImage();
        EXPECT_FALSE(shot.isNull());
        shot.save(QStringLiteral("/tmp/tvx230_per_page_%1.png").arg(static_cast<int>(member)));
    }
}

}  // namespace
}  // namespace tvx
