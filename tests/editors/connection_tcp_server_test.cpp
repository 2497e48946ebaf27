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
    QTcpSocket* third = unit_arrives();
    EXPECT_EQ(listed_entries(), (std::vector<int>{1, 2, 3}));

    second->close();
    ASSERT_TRUE(wait_for([&] { return link->clients_in_use() == 2; }));
    EXPECT_EQ(listed_entries(), (std::vector<int>{1, 3}));
    EXPECT_EQ(controller->client_rows()[1].address, "127.0.0.1");

    controller->choose_client(1);
    EXPECT_EQ(tool.config.select_number, 3);
    EXPECT_TRUE(link->tcp_connected());
    EXPECT_EQ(controller->transmission_place(), "127.0.0.1:" + std::to_string(third->localPort()));

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
    ASSERT_EQ(controller->transmission_place(), "127.0.0.1:" + std::to_string(unit->localPort()));
    unit->close();
    ASSERT_TRUE(wait_for([&] { return link->clients_in_use() == 0; }));
    unit_arrives();  // takes entry 1 again, but it is another unit
    EXPECT_TRUE(controller->transmission_place().empty());
    EXPECT_EQ(listed_entries(), std::vector<int>{1});
}

TEST_F(TcpServerControllerTest, UnitsSharingAnAddressAreToldApartAndSeveralCanBeChosen) {
    controller->start();
    std::vector<QTcpSocket*> unit;
    for (int i = 0; i < 4; ++i) unit.push_back(unit_arrives());
    EXPECT_EQ(controller->connected_count(), "4 台接続");
    const auto rows = controller->client_rows();
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].address, "127.0.0.1");
        EXPECT_EQ(rows[i].port, unit[i]->localPort());
        EXPECT_EQ(rows[i].connected_at.size(), 8u);  // "14:03:27"
        EXPECT_FALSE(rows[i].chosen);
    }

    // Rows 2 and 4: the first of them is where the commands for one unit go.
    controller->choose_clients({3, 1});
    EXPECT_EQ(link->chosen_clients(), (std::vector<int>{2, 4}));
    EXPECT_EQ(tool.config.select_number, 2);
    EXPECT_TRUE(link->tcp_connected());
    EXPECT_EQ(controller->transmission_place(), "127.0.0.1:" + std::to_string(unit[1]->localPort()) + " 他 1 台");

    // Another unit arriving rebuilds the list; the choice stays with the same units.
    unit_arrives();
    std::vector<int> chosen;
    for (const auto& row : controller->client_rows())
        if (row.chosen) chosen.push_back(row.index);
    EXPECT_EQ(chosen, (std::vector<int>{2, 4}));

    // A chosen unit that leaves drops out; the unit that takes its entry later is not chosen.
    unit[3]->close();
    ASSERT_TRUE(wait_for([&] { return link->clients_in_use() == 4; }));
    EXPECT_EQ(link->chosen_clients(), std::vector<int>{2});
    unit_arrives();
    EXPECT_EQ(link->chosen_clients(), std::vector<int>{2});
    EXPECT_EQ(controller->connected_count(), "5 台接続");

    controller->choose_all();
    EXPECT_EQ(link->chosen_clients(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(tool.config.select_number, 1);
    // A double-click chooses the one unit again, as ever.
    controller->choose_client(2);
    EXPECT_EQ(link->chosen_clients(), std::vector<int>{3});
}

}  // namespace
}  // namespace tvx
