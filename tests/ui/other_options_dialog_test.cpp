#include "ui/other_options_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "editors/editor_unit_link.h"
#include "support/recording_notices.h"
#include "ui/display_page_dialog.h"
#include "ui/setting_editor_widgets.h"
#include "ui/slave_address_dialog.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::button_texts;
using testing::choose;
using testing::group_titles;

class SmallDialogsTest : public testing::EditorDialogTest {};

TEST_F(SmallDialogsTest, OtherOptionsDialogSendsEachSettingToTheUnit) {
    using Option = OtherOptionsDialog::Option;
    OtherOptionsDialog dialog(tool, link, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "その他");
    EXPECT_EQ(group_titles(&dialog),
              (QStringList{"コネクター入力", "電源投入時ページ", "ビデオロス背景色", "スレーブアドレス"}));
    EXPECT_EQ(button_texts(&dialog), (QStringList{"設定", "設定", "設定", "Close"}));
    EXPECT_EQ(dialog.group(Option::kConnectorInput)->combo()->itemText(0), "ALARM ");
    EXPECT_EQ(dialog.group(Option::kPowerOnPage)->combo()->currentText(), "01");

    choose(dialog.group(Option::kPowerOnPage), 64);
    choose(dialog.group(Option::kConnectorInput), 1);
    choose(dialog.group(Option::kVideoLossBackground), 1);
    EXPECT_TRUE(link.lines.empty());
    for (Option option : {Option::kConnectorInput, Option::kPowerOnPage, Option::kVideoLossBackground})
        dialog.group(option)->button()->click();
    EXPECT_EQ(link.unit.settings().power_on_page, 64);
    EXPECT_EQ(link.unit.settings().connector_input, 1);
    EXPECT_EQ(link.unit.settings().video_loss_background, 1);
    EXPECT_EQ(tool.link.error_reply, 0);

    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/tvx230_other_options.png"));
}

TEST_F(SmallDialogsTest, DisplayPageDialogSwitchesTheUnitsPage) {
    using Setting = DisplayPageDialog::Setting;
    DisplayPageChoice choice;
    DisplayPageDialog dialog(tool, link, choice, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "表示ページ");
    EXPECT_EQ(group_titles(&dialog), (QStringList{"ページ", "表示ON/OFF", "スレーブアドレス"}));
    EXPECT_EQ(dialog.group(Setting::kDisplaySwitch)->combo()->currentText(), "ON ");
    choose(dialog.group(Setting::kPage), 4);
    dialog.group(Setting::kPage)->button()->click();
    EXPECT_EQ(link.unit.display_page(), 4);
    choose(dialog.group(Setting::kDisplaySwitch), 0);
    dialog.group(Setting::kDisplaySwitch)->button()->click();
    EXPECT_FALSE(link.unit.display_on());
    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/tvx230_display_page.png"));
}

TEST_F(SmallDialogsTest, SlaveAddressDialogIsEnabledEvenOnRs232c) {
    tool.model.run.slave_address = 5;
    SlaveAddressDialog dialog(tool, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "機器のスレーブアドレス");
    EXPECT_EQ(button_texts(&dialog), QStringList{"Close"});
    EXPECT_TRUE(dialog.slave_group()->combo()->isEnabled());
    EXPECT_EQ(dialog.slave_group()->combo()->currentText(), "05");
    choose(dialog.slave_group(), 32);
    EXPECT_EQ(tool.model.run.slave_address, 32);
    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/tvx230_slave_address.png"));
}

}  // namespace
}  // namespace tvx
