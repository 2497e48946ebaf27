#pragma once

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/tcp_link.h"
#include "link/tcp_loopback.h"
#include "model/tool_state.h"
#include "support/recording_notices.h"

namespace tvx::testing {

// The TCP link over loopback against units the test plays: as the client of one unit, or as the server
// that units connect to. NoticesT records (or holds open) what the link tells the operator.
template <typename NoticesT = RecordingNotices>
class TcpLinkFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ensure_event_loop();
        tool.config.link_interface = 1;
        link = std::make_unique<TcpLink>(tool, notices);
    }
    void TearDown() override {
        link.reset();
        for (auto& peer : peers) peer->abort();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Client role towards a unit on this machine's loopback address.
    void use_loopback_host(std::uint16_t port) {
        tool.config.client_server = 0;
        tool.config.list_count = 1;
        tool.config.host_list[0] = {127, 0, 0, 1};
        tool.config.select_number = 0;
        tool.model.network.port_number = std::to_string(port);
    }

    // Client role, connected to a unit that the test plays; returns the unit's end.
    QTcpSocket* connect_to_unit() {
        EXPECT_TRUE(unit_server.listen(QHostAddress::LocalHost, 0));
        use_loopback_host(unit_server.serverPort());
        EXPECT_EQ(link->tcp_connect(), 1);
        EXPECT_TRUE(wait_for([&] { return link->tcp_connected() && unit_server.hasPendingConnections(); }));
        return unit_server.nextPendingConnection();
    }

    // Server role listening on a free port.
    void start_server() {
        tool.config.client_server = 1;
        tool.config.select_number = -1;
        server_port = unused_port();
        tool.model.network.port_number = std::to_string(server_port);
        ASSERT_EQ(link->tcp_start_server(), 1);
    }

    // A peer connecting to the server, without waiting for the link to take it.
    QTcpSocket* connect_peer() {
        auto& peer = peers.emplace_back(std::make_unique<QTcpSocket>());
        peer->connectToHost(QHostAddress::LocalHost, server_port);
        return peer.get();
    }

    // A unit connecting to the server; waits until the link has taken it.
    QTcpSocket* unit_arrives() {
        const int before = link->clients_in_use();
        QTcpSocket* peer = connect_peer();
        EXPECT_TRUE(wait_for([&] { return link->clients_in_use() == before + 1; }));
        return peer;
    }

    ToolState tool;
    NoticesT notices;
    std::unique_ptr<TcpLink> link;
    QTcpServer unit_server;
    std::uint16_t server_port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> peers;
};

}  // namespace tvx::testing
