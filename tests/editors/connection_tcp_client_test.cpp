#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "config/ini_profile.h"
#include "config/safe_file.h"
#include "editors/address_text.h"
#include "editors/tcp_client_controller.h"
#include "link/tcp_loopback.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::wait_for;

class TcpClientControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_event_loop();
        tool.config.ini_path = std::filesystem::path(dir.path().toStdString()) / "tvx230.ini";
        tool.config.link_interface = 1;
        link = std::make_unique<TcpLink>(tool, notices);
        controller = std::make_unique<TcpClientController>(tool, notices, *link);
        controller->open();
    }
    void add(HostAddress host) {
        controller->set_address(host);
        controller->add();
    }
    std::string key(std::string_view name) const {
        return read_profile_string(tool.config.ini_path, kIniSection, name, "missing", 10);
    }
    std::string file() const {
        std::string bytes;
        read_whole_file(tool.config.ini_path, bytes);
        return bytes;
    }

    QTemporaryDir dir;
    ToolState tool;
    testing::RecordingNotices notices;
    std::unique_ptr<TcpLink> link;
    std::unique_ptr<TcpClientController> controller;
};

TEST(HostListText, ThreeDigitOctetsIn18Characters) {
    EXPECT_EQ(host_list_text({192, 168, 1, 2}), "192 .168 .001 .002");
    EXPECT_EQ(host_list_text({0, 0, 0, 0}).size(), 18u);
    EXPECT_EQ(host_list_text({255, 255, 255, 255}), "255 .255 .255 .255");
}

TEST_F(TcpClientControllerTest, DeletingTheFirstOfThreeHostsMovesTheOthersDownAndLeavesTheOldKeys) {
    add({192, 168, 0, 1});
    add({192, 168, 0, 2});
    add({10, 0, 0, 3});
    EXPECT_EQ(key("list_count"), "3");
    EXPECT_EQ(controller->host_items().size(), 3u);

    controller->remove(0);
    EXPECT_EQ(controller->host_items(),
              (std::vector<std::string>{"192 .168 .000 .002", "010 .000 .000 .003"}));
    EXPECT_EQ(key("list_count"), "2");
    EXPECT_EQ(key("ip00_3"), "2");
    EXPECT_EQ(key("ip01_0"), "10");
    EXPECT_EQ(key("ip01_3"), "3");
    EXPECT_EQ(key("ip02_0"), "10");  // the former last host stays in the file, beyond list_count
    EXPECT_EQ(key("ip02_3"), "3");

    Configuration back;
    NetworkSettings network;
    load_configuration(back, network.port_number, tool.config.ini_path);
    EXPECT_EQ(back.list_count, 2);
    EXPECT_EQ(back.host_list[0], (HostAddress{192, 168, 0, 2}));
    EXPECT_EQ(back.host_list[1], (HostAddress{10, 0, 0, 3}));
}

TEST_F(TcpClientControllerTest, DeleteWithoutASelectedHostChangesNothing) {
    add({192, 168, 0, 1});
    tool.config.select_number = 0;
    const std::string before = file();
    controller->remove(-1);
    controller->remove(1);
    EXPECT_EQ(tool.config.list_count, 1);
    EXPECT_EQ(tool.config.select_number, 0);
    EXPECT_EQ(file(), before);

    tool.config.list_count = 0;
    controller->remove(0);  // an empty list
    EXPECT_EQ(tool.config.list_count, 0);
    EXPECT_EQ(file(), before);
}

TEST_F(TcpClientControllerTest, TheChosenHostStaysTheSameHostWhenOthersAreDeleted) {
    add({10, 0, 0, 1});
    add({10, 0, 0, 2});
    add({10, 0, 0, 3});
    controller->choose_host(2);
    EXPECT_EQ(key("select_number"), "2");
    EXPECT_EQ(controller->address(), (HostAddress{10, 0, 0, 3}));

    controller->remove(0);  // before the chosen host: it moves down with it
    EXPECT_EQ(tool.config.select_number, 1);
    EXPECT_EQ(key("select_number"), "1");
    EXPECT_EQ(tool.config.host_list[tool.config.select_number], (HostAddress{10, 0, 0, 3}));

    // The chosen host itself: nothing is chosen until the operator picks, and the file keeps the last
    // number it held, never one outside the list.
    controller->remove(1);
    EXPECT_EQ(tool.config.select_number, -1);
    EXPECT_EQ(key("select_number"), "1");
    EXPECT_EQ(link->tcp_connect(), 0);
    EXPECT_EQ(notices.count("box", "接続できません"), 1);
    controller->open();
    EXPECT_EQ(controller->address(), (HostAddress{10, 0, 0, 3}));  // the field keeps what it showed

    add({10, 0, 0, 4});
    controller->choose_host(0);
    controller->remove(0);  // the chosen host, first of two: the key stays 0, the next host's number
    EXPECT_EQ(tool.config.select_number, -1);
    EXPECT_EQ(key("select_number"), "0");
    controller->choose_host(0);
    controller->remove(0);  // the last host, chosen: the list is empty, the key still names entry 0
    EXPECT_EQ(tool.config.list_count, 0);
    EXPECT_EQ(key("select_number"), "0");
    EXPECT_EQ(key("list_count"), "0");
}

TEST_F(TcpClientControllerTest, AddingBeyondTheHostBoundIsRefused) {
    tool.config.list_count = kMaxHosts - 1;
    add({1, 2, 3, 4});
    EXPECT_EQ(tool.config.list_count, kMaxHosts);
    EXPECT_TRUE(notices.calls.empty());
    add({5, 6, 7, 8});
    EXPECT_EQ(tool.config.list_count, kMaxHosts);
    EXPECT_EQ(notices.texts("error").size(), 1u);
    EXPECT_EQ(key("list_count"), std::to_string(kMaxHosts));
}

TEST_F(TcpClientControllerTest, AddingTakesTheFieldsTextOnlyWhenItIsAWholeAddress) {
    EXPECT_TRUE(controller->add("127.0.0.1"));
    EXPECT_FALSE(controller->add("127.0.0.300"));
    EXPECT_FALSE(controller->add("10.1..3"));
    EXPECT_EQ(tool.config.list_count, 1);
    EXPECT_EQ(tool.config.host_list[0], (HostAddress{127, 0, 0, 1}));
    EXPECT_EQ(controller->address(), (HostAddress{127, 0, 0, 1}));
    EXPECT_EQ(key("list_count"), "1");
    EXPECT_EQ(notices.count("error", std::string(kAddressRefused)), 2);
}

TEST_F(TcpClientControllerTest, OpeningShowsTheChosenHostAndThePortIsWrittenOnClose) {
    tool.config.list_count = 2;
    tool.config.host_list[1] = {172, 16, 0, 9};
    tool.config.select_number = 1;
    tool.model.run.hidden_entry_count = 4;
    TcpClientController reopened(tool, notices, *link);
    reopened.open();
    EXPECT_EQ(reopened.address(), (HostAddress{172, 16, 0, 9}));
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_TRUE(reopened.connect_enabled());
    EXPECT_FALSE(reopened.disconnect_enabled());

    reopened.set_port_text("1234567");
    EXPECT_EQ(tool.model.network.port_number, "12345");
    EXPECT_EQ(key("p_port_number"), "missing");  // only on closing
    reopened.close();
    EXPECT_EQ(key("p_port_number"), "12345");
}

TEST_F(TcpClientControllerTest, ConnectAndDisconnectDriveTheButtons) {
    QTcpServer unit;
    ASSERT_TRUE(unit.listen(QHostAddress::LocalHost, 0));
    add({127, 0, 0, 1});
    controller->choose_host(0);
    controller->set_port_text(std::to_string(unit.serverPort()));

    controller->connect();
    ASSERT_TRUE(wait_for([&] { return link->tcp_connected(); }));
    EXPECT_FALSE(controller->connect_enabled());
    EXPECT_TRUE(controller->disconnect_enabled());
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Socket 接続 OK"});

    controller->disconnect();
    EXPECT_FALSE(link->tcp_connected());
    EXPECT_EQ(link->main_socket(), nullptr);
    EXPECT_TRUE(controller->connect_enabled());
    EXPECT_EQ(notices.texts("success"), (std::vector<std::string>{"Socket 接続 OK", "Socket 切断 OK"}));

    controller->disconnect();  // not connected: nothing to say
    EXPECT_EQ(notices.texts("success").size(), 2u);
}

TEST_F(TcpClientControllerTest, AConnectRefusedAtOnceLeavesTheLinkUnconnected) {
    add({127, 0, 0, 1});
    controller->choose_host(0);
    controller->set_port_text("port");
    controller->connect();
    EXPECT_FALSE(link->tcp_connected());
    EXPECT_EQ(notices.count("box", "接続できません"), 1);
}

}  // namespace
}  // namespace tvx
