#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

#include "unit/unit_event_loop.h"
#include "unit/unit_tcp_hosts.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

// A unit connected to a tool may be dropped at any moment (a test ends, the program quits): its socket's
// last signals must not restart a retry timer that is already gone.
TEST(UnitTcpClient, DestroyedWhileConnectedLeavesNothingBehind) {
    testing::ensure_unit_application();
    QTcpServer tool;
    ASSERT_TRUE(tool.listen(QHostAddress::LocalHost, 0));
    VirtualUnit unit;
    auto client = std::make_unique<UnitTcpClient>(unit, "127.0.0.1", tool.serverPort());
    client->start();
    ASSERT_TRUE(testing::run_until([&] { return tool.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> accepted(tool.nextPendingConnection());
    ASSERT_TRUE(testing::run_until([&] { return accepted->state() == QAbstractSocket::ConnectedState; }));

    client.reset();
    EXPECT_TRUE(testing::run_until([&] { return accepted->state() == QAbstractSocket::UnconnectedState; }));
    // Long enough for a stray retry (1 s) to have fired.
    testing::run_until([] { return false; }, std::chrono::milliseconds(1200));
    EXPECT_FALSE(tool.hasPendingConnections());
}

}  // namespace
}  // namespace tvx
