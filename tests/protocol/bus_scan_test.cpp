// The RS-485 bus scan against several virtual units sharing one bus: in-process, where time is counted
// in ticks, and over a pseudo-terminal through the real serial link.
#include <QSocketNotifier>
#include <chrono>
#include <deque>
#include <memory>

#include <gtest/gtest.h>
#include <unistd.h>

#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "protocol/bus_scan_sequence.h"
#include "protocol/link_tick.h"
#include "protocol/serial_framing.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"
#include "unit/unit_event_loop.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

using State = PacedSequence::State;
using testing::RecordingNotices;

// Units at the given addresses with versions "V<address>".
std::vector<std::unique_ptr<VirtualUnit>> make_units(std::initializer_list<int> addresses) {
    std::vector<std::unique_ptr<VirtualUnit>> units;
    for (const int address : addresses) {
        auto unit = std::make_unique<VirtualUnit>();
        unit->rs485 = true;
        unit->address = address;
        unit->settings().network.version_number = "V" + std::to_string(address);
        units.push_back(std::move(unit));
    }
    return units;
}

// One bus in memory: every framed line reaches every unit; their answers come back on the next tick,
// as they would arrive later on a real line.
class MemoryBus : public CommandLink {
  public:
    explicit MemoryBus(ToolState& tool) : tool_(tool) {}

    void send_command(std::string_view line) override {
        const SerialFrame frame =
            frame_serial_line(line, tool_.config.rs_control, tool_.model.run.slave_address);
        tool_.link.reply_expected = 1;
        sent.push_back(frame.bytes);
        for (auto& unit : units) {
            for (std::string& answer : unit->receive(frame.bytes)) pending.push_back(std::move(answer));
        }
    }
    bool tcp_is_connected() const override { return true; }

    void deliver_to(BusScanSequence& scan) {
        while (!pending.empty()) {
            scan.reply_line(pending.front());
            pending.pop_front();
        }
    }

    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::string> sent;
    std::deque<std::string> pending;

  private:
    ToolState& tool_;
};

class BusScan : public ::testing::Test {
  protected:
    BusScan() {
        tool.config.link_interface = 0;
        tool.config.rs_control = 1;
        tool.model.run.slave_address = 12;
    }

    // Drives the scan as its dialog does, with the main window's link tick every fifth tick (100 ms).
    int drive(BusScanSequence& scan) {
        int ticks = 0;
        while (scan.tick() == State::kRunning) {
            ++ticks;
            bus.deliver_to(scan);
            if (ticks % (100 / kBusScanTickMs) == 0) link_tick(tool.link, notices);
            if (ticks > 10000) break;
        }
        return ticks;
    }

    ToolState tool;
    RecordingNotices notices;
    MemoryBus bus{tool};
};

TEST_F(BusScan, FindsExactlyTheUnitsOnTheBusFasterThanOneReplyTimeOutPerAddress) {
    bus.units = make_units({3, 7, 31});
    BusScanSequence scan(tool, bus, notices);
    ASSERT_TRUE(scan.start());
    const int ticks = drive(scan);
    ASSERT_EQ(scan.state(), State::kCompleted);

    const std::vector<BusUnit> found = scan.found();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].address, 3);
    EXPECT_EQ(found[0].version, "V3");
    EXPECT_EQ(found[1].address, 7);
    EXPECT_EQ(found[2].address, 31);
    EXPECT_EQ(found[2].version, "V31");

    // Every address asked once, in order, one at a time.
    ASSERT_EQ(bus.sent.size(), 32u);
    EXPECT_EQ(bus.sent[0], "00RVN\r\n");
    EXPECT_EQ(bus.sent[31], "31RVN\r\n");
    const int single_timeout_ms = (kReplyTimeoutTicks + 2) * 100;
    EXPECT_LT(ticks * kBusScanTickMs, 32 * single_timeout_ms);
    EXPECT_EQ(scan.percent(), 100);

    // Neither "Success" for the answers nor "No Connect" for the empty addresses; the address is back.
    EXPECT_TRUE(notices.texts("success").empty());
    EXPECT_TRUE(notices.texts("error").empty());
    EXPECT_EQ(tool.model.run.slave_address, 12);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.reply_expected, 0);
}

TEST_F(BusScan, AnAnswerThatIsNotAVersionStillCountsAndALateAnswerGoesToItsOwnAddress) {
    bus.units = make_units({4});
    bus.units[0]->faults.error_at_line = 1;
    bus.units[0]->faults.error_reply = "E3";
    BusScanSequence scan(tool, bus, notices, 2);
    ASSERT_TRUE(scan.start());
    drive(scan);
    // A late "01VN..." arriving while address 02 is asked belongs to address 01.
    scan.reply_line("01VN9.9 \r\n");
    scan.reply_line("garbage\r\n");
    scan.reply_line("99VN1.0 \r\n");
    const std::vector<BusUnit> found = scan.found();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].address, 1);
    EXPECT_EQ(found[0].version, "9.9");
    EXPECT_EQ(found[1].address, 4);
    EXPECT_EQ(found[1].version, "");
}

TEST_F(BusScan, RefusedOffTheBusAndDuringAnotherSequence) {
    tool.config.rs_control = 0;
    BusScanSequence scan(tool, bus, notices);
    EXPECT_FALSE(scan.start());
    EXPECT_EQ(notices.texts("warning").size(), 1u);
    tool.config.rs_control = 1;
    tool.config.link_interface = 1;
    EXPECT_FALSE(scan.start());

    tool.config.link_interface = 0;
    tool.model.run.batch_step = 5;
    EXPECT_FALSE(scan.start());
    EXPECT_TRUE(bus.sent.empty());

    // Cancelled half way: the flags and the address are given back.
    tool.model.run.batch_step = 0;
    ASSERT_TRUE(scan.start());
    scan.tick();
    scan.tick();
    scan.cancel();
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.model.run.slave_address, 12);
}

// The far end of a pseudo-terminal as a bus: whatever the tool writes reaches every unit, and their
// answers go back on the same line.
class PtyBus {
  public:
    PtyBus() : notifier_(pty.master_fd(), QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
            char buffer[512];
            const ssize_t count = ::read(pty.master_fd(), buffer, sizeof buffer);
            if (count <= 0) return;
            for (auto& unit : units) {
                for (const std::string& answer :
                     unit->receive(std::string_view(buffer, static_cast<std::size_t>(count)))) {
                    pty.write(answer);
                }
            }
        });
    }

    testing::PtyPair pty;
    std::vector<std::unique_ptr<VirtualUnit>> units;

  private:
    QSocketNotifier notifier_;
};

TEST(BusScanPty, FindsTheUnitsThroughTheSerialLink) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    PtyBus bus;
    ASSERT_TRUE(bus.pty.ok());
    bus.units = make_units({3, 7, 31});

    ToolState tool;
    RecordingNotices notices;
    tool.config.link_interface = 0;
    tool.config.rs_control = 1;
    SerialLink serial(tool, notices);
    serial.open_serial_port(bus.pty.slave_path());
    LinkDispatch dispatch(tool, notices);
    dispatch.set_serial(&serial);

    const int timeout_ticks = 5;
    BusScanSequence scan(tool, dispatch, notices, timeout_ticks);
    serial.set_reply_handler([&scan](const std::string& line) { scan.reply_line(line); });
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(scan.start());
    while (scan.tick() == State::kRunning) {
        testing::run_until([] { return false; }, std::chrono::milliseconds(kBusScanTickMs));
    }
    const auto took = std::chrono::steady_clock::now() - began;
    serial.set_reply_handler(nullptr);

    ASSERT_EQ(scan.state(), State::kCompleted);
    const std::vector<BusUnit> found = scan.found();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].address, 3);
    EXPECT_EQ(found[1].address, 7);
    EXPECT_EQ(found[2].address, 31);
    EXPECT_EQ(found[2].version, "V31");
    EXPECT_LT(took, std::chrono::milliseconds(32 * (kReplyTimeoutTicks + 2) * 100));
}

}  // namespace
}  // namespace tvx
