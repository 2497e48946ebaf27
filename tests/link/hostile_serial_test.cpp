#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#endif
#include <gtest/gtest.h>
#include <unistd.h>

#include "link/event_loop.h"
#include "link/serial_link.h"
#include "protocol/link_tick.h"
#include "support/box_notices.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

using testing::BoxNotices;

// The serial link on a pty whose far end misbehaves. After each misbehaviour the link must answer a
// normal command at once, and never hold more received bytes than its port buffer and one line.
class HostileSerialTest : public ::testing::Test {
  protected:
    static constexpr std::size_t kHeldLimit = SerialLink::kQueueBytes + SerialLink::kLineLimit;

    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_core_application();
        ASSERT_TRUE(pty.ok());
        link = std::make_unique<SerialLink>(tool, notices);
        link->open_serial_port(pty.slave_path());
        ASSERT_TRUE(link->is_open());
        notices.clear();
    }

    // Writes in slices and lets the link read each, as a line at 38400 baud would deliver them.
    void unit_sends(const std::string& bytes, std::size_t slice = 512) {
        for (std::size_t at = 0; at < bytes.size(); at += slice) {
            ASSERT_TRUE(pty.write(std::string_view(bytes).substr(at, slice)));
            ASSERT_TRUE(testing::process_events_until([&] { return pty.unread_by_slave() == 0; }));
            QCoreApplication::processEvents();
            held_most = std::max(held_most, link->buffered_bytes());
        }
    }

    void ticks(int n) {
        for (int i = 0; i < n; ++i) link_tick(tool.link, notices);
    }

    // A command goes out whole and its GO is taken as success at the next tick.
    void expect_normal_exchange() {
        notices.clear();
        link->serial_send("PAS01S\r\n");
        EXPECT_EQ(pty.read(8), "PAS01S\r\n");
        unit_sends("GO\r\n");
        EXPECT_EQ(tool.link.reply_expected, 0);
        EXPECT_EQ(tool.link.error_reply, 0);
        ticks(1);
        EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
        EXPECT_TRUE(notices.texts("error").empty());
    }

    ToolState tool;
    BoxNotices notices;
    PtyPair pty;
    std::unique_ptr<SerialLink> link;
    std::size_t held_most = 0;
};

TEST_F(HostileSerialTest, TwentyKilobytesWithoutLineEndAreDroppedAndTheNextCommandIsAnswered) {
    unit_sends(std::string(20 * 1024, 'A'));
    EXPECT_LE(held_most, kHeldLimit);
    EXPECT_LE(link->buffered_bytes(), SerialLink::kLineLimit);
    EXPECT_TRUE(notices.calls.empty());
    expect_normal_exchange();
}

TEST_F(HostileSerialTest, NoiseOnTheLineChangesNothingItShouldNotAndTheNextCommandIsAnswered) {
    std::mt19937 random(230);
    std::string noise;
    for (int i = 0; i < 64 * 1024; ++i) noise += static_cast<char>(random() % 256);
    // Noise that happens to read as a status line may raise its notice; it must not stop the link.
    unit_sends(noise, 700);
    EXPECT_LE(held_most, kHeldLimit);
    EXPECT_EQ(tool.model.network.port_number.size(), 5u);
    expect_normal_exchange();
}

TEST_F(HostileSerialTest, AnAnswerOneByteEveryHundredMillisecondsIsHandledOnce) {
    link->serial_send("PAS01S\r\n");
    EXPECT_EQ(pty.read(8), "PAS01S\r\n");
    for (const char byte : std::string("GO\r\n")) {
        testing::process_events_until([] { return false; }, 100ms);
        ticks(1);  // the main window's tick goes on meanwhile
        unit_sends(std::string(1, byte));
    }
    EXPECT_EQ(tool.link.reply_expected, 0);
    ticks(1);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    ticks(30);
    EXPECT_EQ(notices.calls.size(), 1u);  // no "No Connect" after it
    expect_normal_exchange();
}

TEST_F(HostileSerialTest, AUnitThatSaysNothingGivesOneNoConnectAndTheNextCommandIsAnswered) {
    link->serial_send("PAS01S\r\n");
    EXPECT_EQ(pty.read(8), "PAS01S\r\n");
    ticks(60);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"No Connect"});
    expect_normal_exchange();
}

// A notice box holds the GUI thread in its own event loop while the unit keeps sending: the link takes
// no more than its port buffer meanwhile and leaves the rest in the line, then catches up.
#ifndef _WIN32
TEST_F(HostileSerialTest, FloodWhileANoticeBoxIsOpenStaysBounded) {
    const int master = pty.master_fd();
    ASSERT_EQ(::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK), 0);
    const std::string flood(4096, 'N');
    std::size_t sent = 0;
    int left_in_line = 0;
    notices.open_ms = 300;
    notices.during = [&] {
        const ssize_t n = ::write(master, flood.data(), flood.size());
        if (n > 0) sent += static_cast<std::size_t>(n);
        held_most = std::max(held_most, link->buffered_bytes());
        left_in_line = std::max(left_in_line, pty.unread_by_slave());
    };
    unit_sends("E3\r\n");  // "Command Error": the box opens
    EXPECT_TRUE(notices.opened);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Command Error"});
    EXPECT_GT(sent, kHeldLimit);
    EXPECT_LE(held_most, kHeldLimit);
    EXPECT_GT(left_in_line, 0);

    // The flood ends with a line end; the link reads the rest of it and works as before.
    ASSERT_EQ(::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) & ~O_NONBLOCK), 0);
    unit_sends("\r\n");
    ASSERT_TRUE(testing::process_events_until([&] { return link->buffered_bytes() == 0; }));
    expect_normal_exchange();
}

#endif

}  // namespace
}  // namespace tvx
