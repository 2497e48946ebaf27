#include "link/serial_port_names.h"

#include <QTemporaryDir>
#include <fstream>

#include <gtest/gtest.h>

#include "link/event_loop.h"
#include "link/serial_link.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

class SerialPortNamesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        config.ini_path = dir.filePath("tvx230.ini").toStdString();
    }
    void write_ini(const std::string& text) { std::ofstream(config.ini_path, std::ios::binary) << text; }

    QTemporaryDir dir;
    Configuration config;
};

TEST_F(SerialPortNamesTest, EachComPortHasItsPlatformDevice) {
#ifdef _WIN32
    EXPECT_EQ(platform_serial_device(0), "COM1");
#else
    EXPECT_EQ(platform_serial_device(0), "/dev/ttyS0");
#endif
    for (int port = 0; port < kSerialPortCount; ++port) {
        config.com_port = port;
        EXPECT_EQ(com_port_key(port), "COM" + std::to_string(port + 1));
        EXPECT_EQ(serial_device_for(config), platform_serial_device(port));
    }
}

TEST_F(SerialPortNamesTest, PortOutsideTheListHasNoDevice) {
    write_ini("[TVX-230_Section]\r\nCOM7=/dev/pts/9\r\n");
    for (const int port : {-1, 6, 99}) {
        config.com_port = port;
        EXPECT_EQ(com_port_key(port), "");
        EXPECT_EQ(serial_device_for(config), "") << port;
    }
}

TEST_F(SerialPortNamesTest, IniKeyNamesAnotherDeviceForThatPortOnly) {
    write_ini(
        "[Other]\r\nCOM2=/dev/wrong\r\n[TVX-230_Section]\r\ncom_port=0\r\nCOM1=/dev/pts/7\r\nCOM3=\r\n");
    config.com_port = 0;
    EXPECT_EQ(serial_device_for(config), "/dev/pts/7");
    config.com_port = 1;
    EXPECT_EQ(serial_device_for(config), platform_serial_device(1));
    config.com_port = 2;  // an empty value names nothing
    EXPECT_EQ(serial_device_for(config), platform_serial_device(2));
}

TEST_F(SerialPortNamesTest, NoIniFileOrPathGivesThePlatformName) {
    config.com_port = 3;
    EXPECT_EQ(serial_device_for(config), platform_serial_device(3));
    config.ini_path.clear();
    EXPECT_EQ(serial_device_for(config), platform_serial_device(3));
}

TEST_F(SerialPortNamesTest, LinkOpensTheDeviceTheIniNames) {
    TVX_NEEDS_PTY();
    testing::ensure_core_application();
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    write_ini("[TVX-230_Section]\r\nCOM3=" + pty.slave_path() + "\r\n");

    ToolState tool;
    reset_settings(tool);
    tool.config = config;
    tool.config.com_port = 2;
    testing::RecordingNotices notices;
    SerialLink link(tool, notices);
    link.open_serial_port();
    ASSERT_TRUE(link.is_open());
    EXPECT_TRUE(notices.texts("error").empty());  // a pseudo-terminal's parity is only noted
    link.serial_send("RCFS\r\n");
    EXPECT_EQ(pty.read(6), "RCFS\r\n");
}

}  // namespace
}  // namespace tvx
