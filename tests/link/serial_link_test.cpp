#include "link/serial_link.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/event_loop.h"
#include "protocol/link_tick.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;
using testing::RecordingNotices;

const std::vector<std::string> kAllOpenSteps = {"Miss! File Open", "Miss! Mask Set", "Miss! Buffer Set",
                                                "Miss! Time Out Set", "Miss! Set Comm State"};

class SerialLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_core_application();
        ASSERT_TRUE(pty.ok());
        reset_settings(tool);
        link = std::make_unique<SerialLink>(tool, notices);
    }

    void open_on_pty() {
        link->open_serial_port(pty.slave_path());
        ASSERT_TRUE(link->is_open());
        notices.clear();
    }

    void record_lines() {
        link->set_reply_handler([this](const std::string& line) { lines.push_back(line); });
    }

    // The unit's answer, and the link has read every byte of it.
    void unit_says(const std::string& bytes) {
        ASSERT_TRUE(pty.write(bytes));
        ASSERT_TRUE(testing::process_events_until([&] { return pty.unread_by_slave() == 0; }));
        QCoreApplication::processEvents();
    }

    void ticks(int n) {
        for (int i = 0; i < n; ++i) link_tick(tool.link, notices);
    }

    ToolState tool;
    RecordingNotices notices;
    PtyPair pty;
    std::unique_ptr<SerialLink> link;
    std::vector<std::string> lines;
};

TEST_F(SerialLinkTest, APtyWithoutParityIsNotedInTheLogNotReported) {
    std::vector<std::pair<TrafficDirection, std::string>> logged;
    link->set_traffic_observer(
        [&logged](TrafficDirection direction, std::string_view, std::string_view text) {
            logged.emplace_back(direction, std::string(text));
        });
    link->open_serial_port(pty.slave_path());
    EXPECT_TRUE(link->is_open());
    // A pseudo-terminal keeps no parity bit and is never a real line: everything else must have been
    // taken, and the missing parity goes to the log instead of a notice box.
    EXPECT_TRUE(notices.calls.empty());
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].first, TrafficDirection::kNote);
    EXPECT_EQ(logged[0].second, SerialLink::kPseudoTerminalParityNote);
}

TEST_F(SerialLinkTest, OpeningAMissingDeviceReportsEveryStepInOrderAndSendsNothing) {
    link->open_serial_port("/dev/tvx230-no-such-device");
    EXPECT_FALSE(link->is_open());
    EXPECT_EQ(notices.texts("error"), kAllOpenSteps);

    notices.clear();
    link->serial_send("PAS01S\r\n");
    EXPECT_EQ(tool.link.reply_expected, 1);
    EXPECT_TRUE(notices.calls.empty());
    ticks(26);
    EXPECT_TRUE(notices.calls.empty());
    ticks(1);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"No Connect"});
}

TEST_F(SerialLinkTest, Rs232cWritesTheCommandAsItIs) {
    open_on_pty();
    link->serial_send("PAS01S\r\n");
    EXPECT_EQ(tool.link.reply_expected, 1);
    EXPECT_EQ(pty.read(8), "PAS01S\r\n");
    EXPECT_EQ(pty.read_for(50ms), "");
}

TEST_F(SerialLinkTest, Rs485PutsTheSlaveAddressInFront) {
    open_on_pty();
    tool.config.rs_control = 1;
    for (const auto& [address, prefix] : {std::pair{0, "00"}, {31, "31"}}) {
        tool.model.run.slave_address = address;
        link->serial_send("PAS01S\r\n");
        EXPECT_EQ(tool.link.reply_expected, 1);
        EXPECT_EQ(pty.read(10), std::string(prefix) + "PAS01S\r\n");
    }
}

TEST_F(SerialLinkTest, BroadcastExpectsNoReplyAndNeverTimesOut) {
    open_on_pty();
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    link->serial_send("PAS01S\r\n");
    EXPECT_EQ(tool.link.reply_expected, 0);
    EXPECT_EQ(pty.read(10), "FFPAS01S\r\n");
    ticks(40);
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(SerialLinkTest, RefusedCommandWritesNothingButStillAwaitsAReply) {
    open_on_pty();
    link->serial_send(std::string(1022, 'A') + "\r\n");
    EXPECT_EQ(tool.link.reply_expected, 1);
    link->serial_send("PAS01S\r\n");
    // The first bytes on the line are those of the second command.
    EXPECT_EQ(pty.read(8), "PAS01S\r\n");
}

TEST_F(SerialLinkTest, ReplyInTwoReadsIsHandledOnceAsOneLine) {
    open_on_pty();
    link->serial_send("PAS01S\r\n");
    ASSERT_EQ(pty.read(8), "PAS01S\r\n");

    unit_says("G");
    EXPECT_EQ(tool.link.reply_expected, 1);
    EXPECT_EQ(tool.link.success_pending, 0);

    unit_says("O\r\n");
    EXPECT_EQ(tool.link.reply_expected, 0);
    EXPECT_EQ(tool.link.success_pending, 1);
    // "Success" comes from the tick, not from reception.
    EXPECT_TRUE(notices.calls.empty());
    ticks(1);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    ticks(5);
    EXPECT_EQ(notices.calls.size(), 1u);
}

TEST_F(SerialLinkTest, SeveralLinesInOneReadAreHandedOverOneByOne) {
    open_on_pty();
    record_lines();
    unit_says("GO\r\nE3\r\nCFS");
    EXPECT_EQ(lines, (std::vector<std::string>{"GO\r\n", "E3\r\n"}));
    unit_says("05M\r\n");
    EXPECT_EQ(lines.back(), "CFS05M\r\n");
}

TEST_F(SerialLinkTest, OverLongLineIsDroppedAndTheNextOneHandled) {
    open_on_pty();
    link->serial_send("PAS01S\r\n");
    unit_says(std::string(2000, 'A') + "\n");
    // Too long to read, but an answer all the same: no "No Connect" follows, nothing was taken from it.
    EXPECT_TRUE(testing::process_events_until([&] { return tool.link.reply_expected == 0; }));
    EXPECT_EQ(tool.link.success_pending, 0);
    unit_says("GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 1);
    EXPECT_EQ(tool.link.reply_expected, 0);
}

TEST_F(SerialLinkTest, LongestLineThatFitsIsHandedOver) {
    open_on_pty();
    record_lines();
    const std::string longest = std::string(SerialLink::kLineLimit - 2, 'B') + "\r\n";
    unit_says(longest + "GO\r\n");
    EXPECT_EQ(lines, (std::vector<std::string>{longest, "GO\r\n"}));
}

TEST_F(SerialLinkTest, NoReplyGivesOneNoConnectOnThe27thTickAndALateReplyIsStillHandled) {
    open_on_pty();
    link->serial_send("PAS01S\r\n");
    ticks(26);
    EXPECT_TRUE(notices.calls.empty());
    ticks(1);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"No Connect"});
    ticks(40);
    EXPECT_EQ(notices.calls.size(), 1u);

    unit_says("GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 1);
    ticks(1);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
}

TEST_F(SerialLinkTest, Rs485ReplyCarriesTheUnitAddress) {
    open_on_pty();
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 5;
    link->serial_send("PAS01S\r\n");
    EXPECT_EQ(pty.read(10), "05PAS01S\r\n");
    unit_says("05GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 1);
    EXPECT_EQ(tool.link.reply_expected, 0);
}

// A handler that opens a message box runs a nested event loop; bytes that arrive meanwhile must wait
// for the current line to finish, so lines are handled one at a time and in order.
TEST_F(SerialLinkTest, LineArrivingWhileAHandlerRunsWaitsItsTurn) {
    open_on_pty();
    std::vector<std::string> events;
    link->set_reply_handler([&](const std::string& line) {
        events.push_back("begin " + line);
        if (line == "FIRST\n") unit_says("SECOND\n");
        events.push_back("end " + line);
    });
    unit_says("FIRST\n");
    ASSERT_TRUE(testing::process_events_until([&] { return events.size() == 4; }));
    EXPECT_EQ(events,
              (std::vector<std::string>{"begin FIRST\n", "end FIRST\n", "begin SECOND\n", "end SECOND\n"}));
}

TEST_F(SerialLinkTest, FarEndGoingAwayDoesNotStopTheLink) {
    open_on_pty();
    // A pseudo-terminal's node goes with its master, as an adapter's goes when it is pulled out: the link
    // says so once (a pseudo-terminal is not waited for: its number is the next program's), and commands
    // meanwhile time out as usual.
    pty.close_master();
    ASSERT_TRUE(testing::process_events_until([&] { return !link->is_open(); }));
    ASSERT_EQ(notices.texts("error").size(), 1u);
    EXPECT_NE(notices.texts("error").front().find("擬似端末は開き直しません"), std::string::npos);
    notices.clear();
    link->serial_send("PAS01S\r\n");
    testing::process_events_until([] { return false; }, 100ms);
    EXPECT_TRUE(notices.calls.empty());
    EXPECT_EQ(tool.link.reply_expected, 1);
    ticks(27);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"No Connect"});
}

TEST_F(SerialLinkTest, ReopeningStartsFromAnEmptyLine) {
    open_on_pty();
    record_lines();
    unit_says("GARBAGE WITHOUT END");
    open_on_pty();
    unit_says("GO\r\n");
    EXPECT_EQ(lines, std::vector<std::string>{"GO\r\n"});
}

}  // namespace
}  // namespace tvx
