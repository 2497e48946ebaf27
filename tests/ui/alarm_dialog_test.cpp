#include "ui/alarm_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "editors/editor_unit_link.h"
#include "support/recording_notices.h"
#include "ui/remote_dialog.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::choose;
using testing::group_titles;

class AlarmRemoteDialogTest : public testing::EditorDialogTest {};

TEST_F(AlarmRemoteDialogTest, AlarmDialogShowsItsSettingsAndSendsThem) {
    using Setting = AlarmDialog::Setting;
    AlarmDialog dialog(tool, link, notices, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "アラームの設定");
    const QStringList titles = group_titles(&dialog);
    for (const char* caption : {"モード", "保持時間", "入力極性", "表示", "リターン",
                                "コネクター番号割り付け", "スレーブアドレス"}) {
        EXPECT_TRUE(titles.contains(QString::fromUtf8(caption))) << caption;
    }
    EXPECT_EQ(dialog.group(Setting::kDisplay)->combo()->currentText(), " ON");
    EXPECT_EQ(dialog.group(Setting::kMode)->combo()->itemText(1), "External");
    EXPECT_EQ(dialog.hold_time_field()->text(), "010");
    EXPECT_EQ(dialog.hold_time_field()->maxLength(), 3);
    EXPECT_EQ(dialog.connectors().connector(7)->currentText(), "08");

    choose(dialog.group(Setting::kMode)->combo(), 1);
    dialog.group(Setting::kMode)->button()->click();
    EXPECT_EQ(link.unit.settings().alarm_mode, 1);

    dialog.hold_time_field()->setText("2");
    EXPECT_EQ(tool.model.alarm_hold_time, "2");
    dialog.hold_time_button()->click();
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"3秒以上を設定してください。"});
    dialog.hold_time_field()->setText("45");
    dialog.hold_time_button()->click();
    EXPECT_EQ(link.unit.settings().alarm_hold_time, "045");

    choose(dialog.connectors().connector(0), 63);
    dialog.connectors().button()->click();
    EXPECT_EQ(link.unit.settings().connector_pages[0], 63);

    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/tvx230_alarm.png"));
    // Enter ends the dialog, even from the hold-time field.
    dialog.hold_time_field()->setFocus();
    QTest::keyClick(dialog.hold_time_field(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AlarmRemoteDialogTest, RemoteAssignmentShowsInTheAlarmDialog) {
    {
        RemoteDialog remote(tool, link, "", nullptr);
        EXPECT_EQ(remote.windowTitle(), "リモートの設定");
        EXPECT_EQ(remote.mode_group()->combo()->itemText(2), "OPERATION");
        choose(remote.connectors().connector(2), 9);
        choose(remote.mode_group()->combo(), 1);
        remote.mode_group()->button()->click();
        EXPECT_EQ(link.unit.settings().remote_mode, 1);
        remote.show();
        remote.grab().save(QStringLiteral("/tmp/tvx230_remote.png"));
    }
    AlarmDialog alarm(tool, link, notices, "", nullptr);
    EXPECT_EQ(alarm.connectors().connector(2)->currentText(), "10");
    alarm.connectors().button()->click();
    EXPECT_EQ(link.lines.back(), "ACA0102100405060708\r\n");
    EXPECT_EQ(link.unit.settings().connector_pages[2], 9);
}

}  // namespace
}  // namespace tvx
