#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/tcp_link.h"
#include "link/tcp_link_fixture.h"
#include "link/tcp_loopback.h"
#include "support/box_notices.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::BoxNotices;
using testing::wait_for;

// The TCP link against units and clients that misbehave. After each misbehaviour the link must answer a
// normal command at once, and its accumulation of a reply never grows past its limit.
class HostileTcpTest : public testing::TcpLinkFixture<BoxNotices> {
  protected:
    // Client role, connected to a unit the test plays; returns the unit's end, with nothing said yet.
    QTcpSocket* connect_to_unit() {
        QTcpSocket* unit = TcpLinkFixture::connect_to_unit();
        notices.clear();
        return unit;
    }

    // The unit writes in slices, each read by the link before the next, watching the accumulation.
    void unit_sends(QTcpSocket* unit, const std::string& bytes, std::size_t slice) {
        for (std::size_t at = 0; at < bytes.size(); at += slice) {
            const std::string part = bytes.substr(at, slice);
            unit->write(part.data(), static_cast<qint64>(part.size()));
            ASSERT_TRUE(wait_for([&] { return unit->bytesToWrite() == 0; }));
            QCoreApplication::processEvents();
            accumulated_most = std::max(accumulated_most, tool.reply.tcp_line.text.size());
        }
        ASSERT_TRUE(wait_for(
            [&] { return link_socket_of(unit) == nullptr || link_socket_of(unit)->bytesAvailable() == 0; }));
    }

    // The link's end of the connection to unit.
    const QTcpSocket* link_socket_of(const QTcpSocket* unit) const {
        if (tool.config.client_server == 0) return qobject_cast<const QTcpSocket*>(link->main_socket());
        for (const TcpClientEntry& entry : link->client_table()) {
            if (entry.socket && entry.socket->peerPort() == unit->localPort()) return entry.socket;
        }
        return nullptr;
    }

    // A command reaches the unit whole and its GO is shown at once.
    void expect_normal_exchange(QTcpSocket* unit) {
        notices.clear();
        unit->readAll();
        link->tcp_send("CFS05M\r\n");
        ASSERT_TRUE(wait_for([&] { return unit->bytesAvailable() >= 8; }));
        EXPECT_EQ(unit->readAll(), "CFS05M\r\n");
        unit->write("GO\r\n");
        ASSERT_TRUE(wait_for([&] { return !notices.calls.empty(); }));
        EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Socket ＯＫ"});
        EXPECT_EQ(notices.calls.size(), 1u);
        EXPECT_EQ(tool.link.error_reply, 0);
        EXPECT_FALSE(link->answer_pending());
    }

    std::size_t accumulated_most = 0;
};

TEST_F(HostileTcpTest, TwentyKilobytesWithoutLineEndAreDroppedAndTheNextCommandIsAnswered) {
    QTcpSocket* unit = connect_to_unit();
    ASSERT_NE(unit, nullptr);
    unit_sends(unit, std::string(20 * 1024, 'A'), 1500);
    EXPECT_LE(accumulated_most, ReplyState::kTcpAccumulationLimit);
    EXPECT_TRUE(notices.calls.empty());
    expect_normal_exchange(unit);

    // The same as the answer to a command: no line ends, so no answer came.
    link->set_answer_timeout_ms(300);
    link->tcp_send("RCFS\r\n");
    unit_sends(unit, std::string(20 * 1024, 'B'), 1500);
    EXPECT_LE(accumulated_most, ReplyState::kTcpAccumulationLimit);
    ASSERT_TRUE(wait_for([&] { return !link->answer_pending(); }));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Answer が､きません"});
    expect_normal_exchange(unit);
}

TEST_F(HostileTcpTest, RandomBytesFromTheUnitLeaveTheLinkWorking) {
    QTcpSocket* unit = connect_to_unit();
    ASSERT_NE(unit, nullptr);
    std::mt19937 random(230);
    std::string noise;
    for (int i = 0; i < 64 * 1024; ++i) noise += static_cast<char>(random() % 256);
    unit_sends(unit, noise, 1000);
    EXPECT_LE(accumulated_most, ReplyState::kTcpAccumulationLimit);
    expect_normal_exchange(unit);
}

TEST_F(HostileTcpTest, AnAnswerOneByteEveryHundredMillisecondsIsHandledOnce) {
    QTcpSocket* unit = connect_to_unit();
    ASSERT_NE(unit, nullptr);
    link->tcp_send("CFS05M\r\n");
    for (const char byte : std::string("GO\r\n")) {
        QTest::qWait(100);
        unit->write(&byte, 1);
    }
    ASSERT_TRUE(wait_for([&] { return !link->answer_pending(); }));
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Socket ＯＫ"});
    EXPECT_EQ(notices.calls.size(), 1u);
    expect_normal_exchange(unit);
}

TEST_F(HostileTcpTest, AUnitThatSaysNothingRunsOutItsAnswerTimeAndTheNextCommandIsAnswered) {
    QTcpSocket* unit = connect_to_unit();
    ASSERT_NE(unit, nullptr);
    link->set_answer_timeout_ms(300);
    link->tcp_send("RCFS\r\n");
    ASSERT_TRUE(wait_for([&] { return !link->answer_pending(); }));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Answer が､きません"});
    EXPECT_EQ(tool.link.error_reply, 1);
    expect_normal_exchange(unit);
}

TEST_F(HostileTcpTest, TwoHundredConnectionsAtOnceLeaveThePickedUnitServed) {
    start_server();
    QTcpSocket* picked = unit_arrives();
    ASSERT_TRUE(link->tcp_select_client(1));

    std::vector<QTcpSocket*> crowd;
    for (int i = 0; i < 200; ++i) crowd.push_back(connect_peer());
    ASSERT_TRUE(wait_for(
        [&] {
            const auto closed = std::count_if(crowd.begin(), crowd.end(), [](const QTcpSocket* s) {
                return s->state() == QAbstractSocket::UnconnectedState;
            });
            return link->clients_in_use() == kMaxClients && closed == 200 - (kMaxClients - 1);
        },
        10000))
        << link->clients_in_use() << " in use, "
        << std::count_if(crowd.begin(), crowd.end(),
                         [](const QTcpSocket* s) { return s->state() == QAbstractSocket::UnconnectedState; })
        << " closed, "
        << std::count_if(crowd.begin(), crowd.end(),
                         [](const QTcpSocket* s) { return s->state() == QAbstractSocket::ConnectedState; })
        << " connected";
    EXPECT_TRUE(link->selected_client_present());
    EXPECT_TRUE(notices.calls.empty());
    expect_normal_exchange(picked);
}

TEST_F(HostileTcpTest, AClientThatConnectsAndNeverSpeaksHoldsNothingUp) {
    start_server();
    QTcpSocket* mute = unit_arrives();
    QTcpSocket* unit = unit_arrives();
    ASSERT_TRUE(link->tcp_select_client(2));
    expect_normal_exchange(unit);

    // Picked, it runs out its answer time like any silent unit; the other is served as before.
    link->set_answer_timeout_ms(300);
    ASSERT_TRUE(link->tcp_select_client(1));
    link->tcp_send("RCFS\r\n");
    ASSERT_TRUE(wait_for([&] { return !link->answer_pending(); }));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Answer が､きません"});
    EXPECT_EQ(mute->readAll(), "RCFS\r\n");
    ASSERT_TRUE(link->tcp_select_client(2));
    expect_normal_exchange(unit);
}

// A notice box holds the GUI thread in its own event loop while the unit floods the connection: what
// the link's socket takes in meanwhile stays bounded, and the link works as before afterwards.
TEST_F(HostileTcpTest, FloodWhileANoticeBoxIsOpenStaysBounded) {
    QTcpSocket* unit = connect_to_unit();
    ASSERT_NE(unit, nullptr);
    const QTcpSocket* socket = link_socket_of(unit);
    ASSERT_NE(socket, nullptr);
    qint64 held_most = 0;
    qint64 sent = 0;
    const std::string flood(64 * 1024, 'N');
    notices.open_ms = 300;
    notices.during = [&] {
        if (unit->bytesToWrite() < 1024 * 1024)
            sent += unit->write(flood.data(), static_cast<qint64>(flood.size()));
        held_most = std::max(held_most, socket->bytesAvailable());
    };
    unit->write("E3\r\n");  // "Socket Command": the box opens
    ASSERT_TRUE(wait_for([&] { return notices.opened; }));
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Socket Command"});
    EXPECT_GT(sent, 4 * TcpLink::kReadBufferLimit);
    EXPECT_LE(held_most, TcpLink::kReadBufferLimit);

    unit->write("\r\n");
    ASSERT_TRUE(wait_for([&] { return unit->bytesToWrite() == 0 && socket->bytesAvailable() == 0; }, 10000));
    expect_normal_exchange(unit);
}

}  // namespace
}  // namespace tvx
