#include "ui/network_settings_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "dialog_fixtures.h"
#include "editors/editor_unit_link.h"
#include "support/recording_notices.h"
#include "ui/ipv4_address_field.h"
#include "ui/setting_editor_widgets.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::group_titles;

using Choice = NetworkSettingsDialog::Choice;

class NetworkSettingsDialogTest : public testing::EditorDialogTest {};

TEST_F(NetworkSettingsDialogTest, ShowsTheModelAndSendsEachSetting) {
    tool.model.network.ip_address = {192, 168, 1, 3};
    NetworkSettingsDialog dialog(tool, link, notices, "", nullptr);
    EXPECT_EQ(dialog.windowTitle(), "プロトコル");
    const QStringList titles = group_titles(&dialog);
    for (const char* caption :
         {"IP Address", "Gateway Address", "Active Address", "MAC Address", "Subnet Mask", "Port Number",
          "Connection Try", "Keep Alive", "Time Register", "Version Number"}) {
        EXPECT_TRUE(titles.contains(QString::fromUtf8(caption))) << caption;
    }
    EXPECT_EQ(dialog.address_field(AddressCommand::EIA)->text(), "192.168.001.003");
    EXPECT_EQ(dialog.group(Choice::kSubnetMask)->combo()->currentText(), "Class C");
    EXPECT_EQ(dialog.group(Choice::kTimeRegister)->combo()->currentText(), " 6");
    EXPECT_EQ(dialog.port_field()->text(), "09004");
    EXPECT_EQ(dialog.port_field()->maxLength(), 5);
    EXPECT_EQ(dialog.mac_field()->text(), "00-00-00-00-00-00");
    EXPECT_TRUE(dialog.mac_field()->isReadOnly());
    EXPECT_EQ(dialog.progress_bar()->maximum(), 11);

    dialog.address_field(AddressCommand::EIA)->set_address({10, 1, 2, 3});
    dialog.address_button(AddressCommand::EIA)->click();
    EXPECT_EQ(link.lines.back(), "EIA010.001.002.003\r\n");
    EXPECT_EQ(link.unit.settings().network.ip_address, (IPv4Octets{10, 1, 2, 3}));

    dialog.group(Choice::kSubnetMask)->combo()->setCurrentIndex(1);
    emit dialog.group(Choice::kSubnetMask)->combo()->activated(1);
    dialog.group(Choice::kSubnetMask)->button()->click();
    EXPECT_EQ(link.unit.settings().network.subnet_class, 1);

    dialog.port_field()->setText(QString());
    QTest::keyClicks(dialog.port_field(), "09005");
    EXPECT_EQ(tool.model.network.port_number, "09005");
    dialog.port_button()->click();
    EXPECT_EQ(link.unit.settings().network.port_number, "09005");
}

TEST_F(NetworkSettingsDialogTest, ReadFillsTheDialogFromTheUnit) {
    link.unit.settings().network.mac_address = "00-11-22-AA-BB-CC";
    link.unit.settings().network.version_number = "2.05";
    link.unit.settings().network.gateway_address = {172, 16, 0, 1};
    NetworkSettingsDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    dialog.read_button()->click();
    EXPECT_FALSE(dialog.close_button()->isEnabled());
    EXPECT_EQ(dialog.timer().interval(), 200);
    for (int guard = 0; guard < 20 && dialog.timer().isActive(); ++guard) dialog.timer_tick();
    EXPECT_EQ(link.lines.size(), 10u);
    EXPECT_EQ(dialog.mac_field()->text(), "00-11-22-AA-BB-CC");
    EXPECT_EQ(dialog.version_field()->text(), "2.05");
    EXPECT_EQ(dialog.address_field(AddressCommand::EGA)->text(), "172.016.000.001");
    EXPECT_TRUE(dialog.close_button()->isEnabled());
    EXPECT_EQ(dialog.progress_bar()->value(), 0);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    dialog.grab().save(QStringLiteral("/tmp/tvx230_network.png"));
}

TEST_F(NetworkSettingsDialogTest, EscAndTheCloseBoxDoNothingWhileTheReadHoldsCloseBack) {
    NetworkSettingsDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    dialog.read_button()->click();
    dialog.timer_tick();
    dialog.timer_tick();
    ASSERT_FALSE(dialog.close_button()->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.close());  // the window's close box
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.timer().isActive());
    EXPECT_NE(tool.model.run.batch_step, 0);

    // Close comes back with the last read out; Esc then ends the read with the dialog.
    for (int i = 0; i < 8; ++i) dialog.timer_tick();
    EXPECT_EQ(link.lines.size(), 10u);
    EXPECT_TRUE(dialog.close_button()->isEnabled());
    EXPECT_NE(tool.model.run.batch_step, 0);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.timer().isActive());
    EXPECT_EQ(tool.model.run.batch_step, 0);

    // Pressing Close before the quiet tick ends the read too.
    dialog.show();
    dialog.read_button()->click();
    for (int i = 0; i < 10; ++i) dialog.timer_tick();
    dialog.close_button()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

}  // namespace
}  // namespace tvx
