#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "editors/tcp_server_controller.h"
#include "link/tcp_loopback.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::wait_for;

class TcpServerControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_event_loop();
        tool.config.link_interface = 1;
        tool.config.client_server = 1;
        tool.config.select_number = 0;
        link = std::make_unique<TcpLink>(tool, notices);
        controller = std::make_unique<TcpServerController>(tool, *link);
        controller->open();
        port = testing::unused_port();
        controller->set_port_text(std::to_string(port));
    }
    void TearDown() override {
        link.reset();
        units.clear();
    }
    QTcpSocket* unit_arrives() {
        const int before = link->clients_in_use();
        auto& unit = units.emplace_back(std::make_unique<QTcpSocket>());
        unit->connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(wait_for([&] { return link->clients_in_use() == before + 1; }));
        return unit.get();
    }
    std::vector<int> listed_entries() const {
        std::vector<int> entries;
        for (const auto& row : controller->client_rows()) entries.push_back(row.index);
        return entries;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    std::unique_ptr<TcpLink> link;
    std::unique_ptr<TcpServerController> controller;
    std::uint16_t port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> units;
};

TEST_F(TcpServerControllerTest, ButtonsFollowTheListeningState) {
    EXPECT_TRUE(controller->connect_enabled());
    EXPECT_FALSE(controller->disconnect_enabled());
    EXPECT_TRUE(controller->port_enabled());
    EXPECT_TRUE(controller->transmission_place().empty());

    controller->start();
    EXPECT_FALSE(controller->connect_enabled());
    EXPECT_TRUE(controller->disconnect_enabled());
    EXPECT_FALSE(controller->port_enabled());

    controller->stop();
    EXPECT_TRUE(controller->connect_enabled());
    EXPECT_FALSE(controller->disconnect_enabled());
    EXPECT_EQ(tool.config.select_number, -1);
}

TEST_F(TcpServerControllerTest, ListFollowsUnitsAndADoubleClickPicksTheEntryOfItsLine) {
    controller->start();
    unit_arrives();
    QTcpSocket* second = unit_arrives();
    unit_arrives();
    EXPECT_EQ(listed_entries(), (std::vector<int>{1, 2, 3}));

    second->close();
    ASSERT_TRUE(wait_for([&] { return link->clients_in_use() == 2; }));
    EXPECT_EQ(listed_entries(), (std::vector<int>{1, 3}));
    EXPECT_EQ(controller->client_rows()[1].address, "127.0.0.1");

    controller->choose_client(1);
    EXPECT_EQ(tool.config.select_number, 3);
    EXPECT_TRUE(link->tcp_connected());
    EXPECT_EQ(controller->transmission_place(), "127.0.0.1");

    controller->stop();
    EXPECT_EQ(tool.config.select_number, -1);
    EXPECT_FALSE(link->tcp_connected());
    EXPECT_TRUE(controller->client_rows().empty());
    EXPECT_TRUE(controller->transmission_place().empty());
}

TEST_F(TcpServerControllerTest, PickingWithoutUnitsChoosesNobody) {
    controller->start();
    controller->choose_client(0);
    EXPECT_EQ(tool.config.select_number, -1);
    EXPECT_FALSE(link->tcp_connected());
}

TEST_F(TcpServerControllerTest, ThePickedUnitLeavingEmptiesTheTransmissionPlace) {
    controller->start();
    QTcpSocket* unit = unit_arrives();
    controller->choose_client(0);
    ASSERT_EQ(controller->transmission_place(), "127.0.0.1");
    unit->close();
    ASSERT_TRUE(wait_for([&] { return link->clients_in_use() == 0; }));
    unit_arrives();  // takes entry 1 again, but it is another unit
    EXPECT_TRUE(controller->transmission_place().empty());
    EXPECT_EQ(listed_entries(), std::vector<int>{1});
}

}  // namespace
}  // namespace tvx
