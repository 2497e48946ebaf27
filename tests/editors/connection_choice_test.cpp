#include "editors/connection_choice.h"

#include <QTemporaryDir>
#include <filesystem>

#include <gtest/gtest.h>

#include "config/ini_profile.h"

namespace tvx {
namespace {

struct FakeConnection : TcpSender {
    void tcp_send(std::string_view) override {}
    bool tcp_connected() const override { return connected; }
    bool connected = false;
};

class ConnectionChoiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tool.config.ini_path = std::filesystem::path(dir.path().toStdString()) / "tvx230.ini";
    }
    std::string key(std::string_view name) const {
        return read_profile_string(tool.config.ini_path, kIniSection, name, "missing", 10);
    }
    QTemporaryDir dir;
    ToolState tool;
    FakeConnection connection;
};

TEST_F(ConnectionChoiceTest, EachPickChangesTheFieldAndWritesItsKeyAtOnce) {
    ConnectionChoice interface = interface_choice(tool, connection);
    EXPECT_EQ(interface.items(), (std::vector<std::string>{"RS-232C/485", "TCP/IP"}));
    EXPECT_EQ(interface.selection(), 0);
    interface.choose(1);
    EXPECT_EQ(tool.config.link_interface, 1);
    EXPECT_EQ(key("Interface"), "1");

    ConnectionChoice port = com_port_choice(tool);
    ASSERT_EQ(port.items().size(), 6u);
    EXPECT_EQ(port.items().front(), "COM 1");
    EXPECT_EQ(port.items().back(), "COM 6");
    port.choose(5);
    EXPECT_EQ(tool.config.com_port, 5);
    EXPECT_EQ(key("com_port"), "5");
    port.choose(6);  // not an item
    EXPECT_EQ(tool.config.com_port, 5);

    ConnectionChoice control = rs_control_choice(tool);
    EXPECT_EQ(control.items(), (std::vector<std::string>{"RS-232C", "RS-485"}));
    control.choose(1);
    EXPECT_EQ(key("rs_control"), "1");

    ConnectionChoice role = client_server_choice(tool, connection);
    EXPECT_EQ(role.items(), (std::vector<std::string>{"Client", "Server"}));
    role.choose(1);
    EXPECT_EQ(tool.config.client_server, 1);
    EXPECT_EQ(key("ClientServer"), "1");
    EXPECT_EQ(role.selection(), 1);
}

TEST_F(ConnectionChoiceTest, InterfaceAndRoleAreFrozenWhileConnected) {
    connection.connected = true;
    for (ConnectionChoice choice :
         {interface_choice(tool, connection), client_server_choice(tool, connection)}) {
        EXPECT_FALSE(choice.enabled());
        EXPECT_EQ(choice.selection(), -1);
        choice.choose(1);
    }
    EXPECT_EQ(tool.config.link_interface, 0);
    EXPECT_EQ(tool.config.client_server, 0);
    EXPECT_FALSE(std::filesystem::exists(tool.config.ini_path));

    // The serial choices never freeze.
    EXPECT_TRUE(com_port_choice(tool).enabled());
    EXPECT_TRUE(rs_control_choice(tool).enabled());
}

TEST_F(ConnectionChoiceTest, OpeningADialogResetsTheHiddenEntryCount) {
    tool.model.run.hidden_entry_count = 7;
    connection_dialog_opened(tool);
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
}

}  // namespace
}  // namespace tvx
