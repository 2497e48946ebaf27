#include "ui/serial_device_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "editors/serial_port_binding.h"
#include "link/serial_port_names.h"
#include "ui/connection_choice_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

class SerialDeviceBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        reset_settings(tool);
        tool.config.ini_path = std::filesystem::path(dir.path().toStdString()) / "tvx230.ini";
        tool.config.com_port = 1;
    }

    QTemporaryDir dir;
    ToolState tool;
};

TEST_F(SerialDeviceBoxTest, TheSerialDialogBindsTheChosenPortToAFoundOrTypedDevice) {
    ASSERT_TRUE(bind_serial_device(tool.config, 3, "/dev/ttyUSB1"));
    std::unique_ptr<ConnectionChoiceDialog> dialog(make_serial_settings_dialog(tool, nullptr));
    auto* box = dialog->findChild<SerialDeviceBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->caption()->text(), "COM 2 のデバイス");
    EXPECT_EQ(box->combo()->currentText(), "");
    EXPECT_EQ(box->combo()->lineEdit()->placeholderText(), QString::fromStdString(platform_serial_device(1)));
    EXPECT_EQ(bound_serial_device(tool.config, 1), "");  // showing writes nothing

    // A typed path is kept for the shown port.
    box->combo()->setEditText("/tmp/ttyV0");
    EXPECT_EQ(bound_serial_device(tool.config, 1), "/tmp/ttyV0");

    // Another port shows its own binding, and picking a found device binds it.
    dialog->list(0)->setCurrentRow(3);
    EXPECT_EQ(box->caption()->text(), "COM 4 のデバイス");
    EXPECT_EQ(box->combo()->currentText(), "/dev/ttyUSB1");
    EXPECT_EQ(bound_serial_device(tool.config, 1), "/tmp/ttyV0");
    dialog->show();
    dialog->grab().save("/tmp/tvx230_serial_settings_dialog.png");
}

TEST_F(SerialDeviceBoxTest, OffersTheDevicesFoundInTheirOrder) {
    SerialDeviceBox box(tool, {"/dev/serial/by-id/usb-A-if00", "/dev/ttyS0"});
    ASSERT_EQ(box.combo()->count(), 2);
    EXPECT_EQ(box.combo()->itemText(0), "/dev/serial/by-id/usb-A-if00");
    box.combo()->setCurrentIndex(0);
    EXPECT_EQ(bound_serial_device(tool.config, 1), "/dev/serial/by-id/usb-A-if00");
}

}  // namespace
}  // namespace tvx
