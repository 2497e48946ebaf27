#include "ui/schedule_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "editors/editor_unit_link.h"
#include "support/recording_notices.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::button_texts;
using testing::choose;
using testing::group_titles;

using Field = ScheduleDialog::Field;

class ScheduleDialogTest : public testing::EditorDialogTest {
  protected:
    ScheduleSelection selection;
};

TEST_F(ScheduleDialogTest, ShowsItsControlsAndEditsTheSelectedEntry) {
    ScheduleDialog dialog(tool, link, notices, selection, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "スケジュール");
    EXPECT_EQ(group_titles(&dialog),
              (QStringList{"日", "パターン番号", "時", "分", "ページ", "スレーブアドレス"}));
    // 中止 stands under the progress, with the all-days send it stops.
    EXPECT_EQ(button_texts(&dialog), (QStringList{"設定", "全設定", "Close", "日OFF", "中止"}));
    EXPECT_EQ(dialog.group(Field::kPage)->combo()->count(), 66);
    EXPECT_EQ(dialog.group(Field::kPage)->combo()->currentText(), "---");
    EXPECT_EQ(dialog.progress_bar()->maximum(), 32);
    EXPECT_EQ(dialog.timer().interval(), 200);

    choose(dialog.group(Field::kDay), 4);
    choose(dialog.group(Field::kPattern), 9);
    EXPECT_EQ(dialog.group(Field::kHour)->combo()->currentText(), "09");
    choose(dialog.group(Field::kPage), 64);
    EXPECT_EQ(tool.model.schedule[4][9].page, 64);
    dialog.set_button()->click();
    EXPECT_EQ(link.unit.settings().schedule[4][9].page, 64);

    choose(dialog.group(Field::kDay), 0);
    EXPECT_EQ(dialog.group(Field::kPage)->combo()->currentText(), "---");
    choose(dialog.group(Field::kDay), 4);
    dialog.day_off_button()->click();
    EXPECT_EQ(dialog.group(Field::kPage)->combo()->currentText(), "---");
    EXPECT_EQ(tool.model.schedule[4][9].page, kScheduleOffPage);

    dialog.show();
    dialog.timer_tick();
    dialog.grab().save(QStringLiteral("/tmp/tvx230_schedule.png"));
}

TEST_F(ScheduleDialogTest, AllDaysSendRunsToTheEndWithCloseDisabledThenCloses) {
    tool.model.schedule[30][23] = {23, 45, 12};
    ScheduleDialog dialog(tool, link, notices, selection, "", nullptr);
    dialog.show();
    QApplication::processEvents();
    dialog.timer_tick();  // the preview due since opening
    EXPECT_FALSE(dialog.timer().isActive());
    dialog.all_button()->click();
    EXPECT_EQ(notices.texts("auto").size(), 1u);
    EXPECT_FALSE(dialog.close_button()->isEnabled());
    EXPECT_EQ(dialog.timer().interval(), 300);
    dialog.reject();  // the close box is refused meanwhile
    EXPECT_TRUE(dialog.isVisible());

    dialog.timer_tick();
    dialog.timer_tick();
    EXPECT_EQ(dialog.percent_field()->text(), "6");
    EXPECT_EQ(dialog.progress_bar()->value(), 2);
    for (int guard = 0; guard < 60 && dialog.isVisible(); ++guard) {
        dialog.timer_tick();
        QApplication::processEvents();  // progress and percent repaint: not a reason to redraw the preview
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.percent_field()->text(), "   ");
    EXPECT_EQ(dialog.progress_bar()->value(), 0);
    EXPECT_FALSE(dialog.timer().isActive());
    EXPECT_EQ(link.lines.size(), 31u);
    EXPECT_EQ(link.unit.settings().schedule[30][23].page, 12);
    EXPECT_EQ(link.unit.settings().schedule[30][23].minute, 45);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_TRUE(notices.texts("success").empty());  // no success box inside the batch
}

TEST_F(ScheduleDialogTest, UnitErrorStopsTheBatchAndLeavesTheDialogOpen) {
    link.unit.faults.error_at_line = 3;
    ScheduleDialog dialog(tool, link, notices, selection, "", nullptr);
    dialog.show();
    dialog.all_button()->click();
    for (int guard = 0; guard < 10 && dialog.timer().isActive(); ++guard) dialog.timer_tick();
    EXPECT_FALSE(dialog.timer().isActive());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.close_button()->isEnabled());
    EXPECT_EQ(link.lines.size(), 3u);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.error_reply, 0);
}

}  // namespace
}  // namespace tvx
