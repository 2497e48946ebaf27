#include "editors/serial_port_binding.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "config/ini_profile.h"
#include "link/serial_port_names.h"

namespace tvx {
namespace {

TEST(SerialPortBinding, EachPortKeepsItsOwnDeviceInItsKeyAndTheLinkOpensIt) {
    QTemporaryDir dir;
    Configuration config;
    config.ini_path = std::filesystem::path(dir.path().toStdString()) / "tvx230.ini";

    EXPECT_TRUE(bind_serial_device(config, 0, "  /dev/serial/by-id/usb-FTDI_A-if00-port0 "));
    EXPECT_TRUE(bind_serial_device(config, 5, "/dev/ttyACM0"));
    EXPECT_EQ(bound_serial_device(config, 0), "/dev/serial/by-id/usb-FTDI_A-if00-port0");
    EXPECT_EQ(bound_serial_device(config, 5), "/dev/ttyACM0");
    EXPECT_EQ(bound_serial_device(config, 2), "");
    EXPECT_EQ(read_profile_string(config.ini_path, kIniSection, "COM6", "", 64), "/dev/ttyACM0");

    config.com_port = 5;
    EXPECT_EQ(serial_device_for(config), "/dev/ttyACM0");
    // Unbinding gives the port its platform device back.
    EXPECT_TRUE(bind_serial_device(config, 5, "   "));
    EXPECT_EQ(serial_device_for(config), platform_serial_device(5));

    // Refused: no such port, a value the INI cannot hold whole.
    EXPECT_FALSE(bind_serial_device(config, 6, "/dev/ttyS9"));
    EXPECT_FALSE(bind_serial_device(config, -1, "/dev/ttyS9"));
    EXPECT_FALSE(bind_serial_device(config, 1, "/dev/tty\nCOM1=/etc/passwd"));
    EXPECT_FALSE(bind_serial_device(config, 1, "/" + std::string(300, 'x')));
    EXPECT_EQ(bound_serial_device(config, 1), "");
    EXPECT_EQ(bound_serial_device(config, 0), "/dev/serial/by-id/usb-FTDI_A-if00-port0");
}

}  // namespace
}  // namespace tvx
