#include "link/client_channel.h"

#include <QTest>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/tcp_link_fixture.h"

namespace tvx {
namespace {

using testing::wait_for;

// A session of its own on one unit of the server: the unit's answers reach the session, not the link's
// reply handling, and the session ends when its unit goes, without touching a unit that comes after.
class ClientChannelTest : public testing::TcpLinkFixture<> {
  protected:
    ToolState session_tool;
    testing::RecordingNotices session_notices;
};

TEST_F(ClientChannelTest, TheUnitAnswersItsSessionAndTheLinkSeesNothing) {
    start_server();
    unit_arrives();
    QTcpSocket* unit = unit_arrives();
    ASSERT_TRUE(link->tcp_select_client(2));  // also the unit that single commands go to
    std::vector<std::string> link_lines;
    link->set_reply_handler(
        [&](ToolState&, Notices&, std::string_view line) { link_lines.emplace_back(line); });

    ClientChannel channel(session_tool, session_notices, *link, 2);
    EXPECT_EQ(channel.label(), "127.0.0.1:" + std::to_string(unit->localPort()));
    bool ready = false;
    QObject::connect(&channel, &UnitChannel::ready, [&] { ready = true; });
    channel.open();
    ASSERT_TRUE(ready);

    channel.send_command("RCFS\r\n");
    EXPECT_TRUE(channel.awaiting_answer());
    ASSERT_TRUE(wait_for([&] { return unit->bytesAvailable() == 6; }));
    EXPECT_EQ(unit->readAll(), "RCFS\r\n");
    unit->write("G");
    unit->flush();
    QTest::qWait(30);
    unit->write("O\r\n");
    ASSERT_TRUE(wait_for([&] { return !channel.awaiting_answer(); }));
    EXPECT_EQ(channel.last_line(), "GO");
    EXPECT_EQ(session_tool.link.replies_handled, 1u);
    EXPECT_TRUE(link_lines.empty());
    EXPECT_EQ(tool.link.replies_handled, 0u);

    // Closed, the session lets go: the unit answers the link again.
    channel.close();
    link->tcp_send("RCFS\r\n");
    ASSERT_TRUE(wait_for([&] { return unit->bytesAvailable() == 6; }));
    unit->readAll();
    unit->write("GO\r\n");
    ASSERT_TRUE(wait_for([&] { return link_lines.size() == 1; }));
}

TEST_F(ClientChannelTest, AUnitThatGoesFailsItsSessionAloneAndItsEntryIsNotWrittenAgain) {
    start_server();
    QTcpSocket* leaving = unit_arrives();
    ClientChannel channel(session_tool, session_notices, *link, 1);
    channel.open();
    channel.send_command("RCFS\r\n");
    leaving->abort();
    ASSERT_TRUE(wait_for([&] { return link->clients_in_use() == 0; }));
    EXPECT_TRUE(channel.failed());
    EXPECT_EQ(session_tool.link.link_lost, 1);
    EXPECT_EQ(session_notices.texts("warning"),
              std::vector<std::string>{"Answer が､きません (the connection closed)"});
    // The operator is not told in a box: the session's result says it.
    EXPECT_TRUE(notices.calls.empty());
    EXPECT_FALSE(channel.tcp_is_connected());

    QTcpSocket* newcomer = unit_arrives();  // takes entry 1 again
    EXPECT_FALSE(link->write_to(channel.connection(), "CFS05M\r\n"));
    channel.send_command("CFS05M\r\n");
    QTest::qWait(50);
    EXPECT_EQ(newcomer->bytesAvailable(), 0);
    EXPECT_FALSE(link->is_chosen(1));
}

TEST_F(ClientChannelTest, OpeningOnAFreeEntryFails) {
    start_server();
    ClientChannel channel(session_tool, session_notices, *link, 5);
    bool failed = false;
    QObject::connect(&channel, &UnitChannel::open_failed, [&] { failed = true; });
    channel.open();
    EXPECT_TRUE(failed);
    EXPECT_EQ(session_notices.texts("warning"), std::vector<std::string>{"Socket が接続されていません"});
}

}  // namespace
}  // namespace tvx
