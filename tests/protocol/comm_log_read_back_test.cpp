// The communication log kept by the serial link while a read-back runs against the virtual unit.
#include <QString>
#include <chrono>

#include <gtest/gtest.h>

#include "link/comm_log.h"
#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "protocol/link_tick.h"
#include "protocol/read_back_sequence.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"
#include "unit/unit_event_loop.h"
#include "unit/unit_serial_host.h"

namespace tvx {
namespace {

using State = PacedSequence::State;

TEST(CommLogReadBack, ShowsEveryCommandFollowedByItsAnswerOnTheRs485Address) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.rs485 = true;
    unit.address = 5;
    UnitPtyHost host(unit);
    QString error;
    ASSERT_TRUE(host.open(error)) << error.toStdString();

    ToolState tool;
    testing::RecordingNotices notices;
    tool.config.link_interface = 0;
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 5;
    SerialLink serial(tool, notices);
    serial.open_serial_port(host.slave_path().toStdString());
    LinkDispatch dispatch(tool, notices);
    dispatch.set_serial(&serial);
    CommLog log;
    serial.set_traffic_observer(log.observer());

    std::vector<std::string> answers;
    unit.observer = [&answers](std::string_view, const std::optional<std::string>& answer) {
        if (answer) answers.push_back(*answer);
    };
    ReadBackSequence seq(tool, dispatch, notices);
    ASSERT_TRUE(seq.start());
    while (seq.tick() == State::kRunning) {
        ASSERT_TRUE(testing::run_until([&tool] { return tool.link.reply_expected == 0; }));
        link_tick(tool.link, notices);
    }
    ASSERT_EQ(seq.state(), State::kCompleted);
    // The tick of the last read completed the sequence; its answer is still on the way.
    ASSERT_TRUE(testing::run_until([&tool] { return tool.link.reply_expected == 0; }));

    const auto& entries = log.entries();
    ASSERT_EQ(entries.size(), 2 * static_cast<std::size_t>(seq.step_count()));
    ASSERT_EQ(answers.size(), static_cast<std::size_t>(seq.step_count()));
    for (std::size_t i = 0; i < entries.size(); i += 2) {
        EXPECT_EQ(entries[i].direction, TrafficDirection::kSent);
        EXPECT_EQ(entries[i].bytes.substr(0, 2), "05");
        EXPECT_EQ(entries[i + 1].direction, TrafficDirection::kReceived);
        EXPECT_EQ(entries[i + 1].bytes, answers[i / 2]);
        EXPECT_EQ(entries[i].link, host.slave_path().toStdString() + " #05");
        EXPECT_LE(entries[i].msecs_since_epoch, entries[i + 1].msecs_since_epoch);
    }
    EXPECT_EQ(entries.back().bytes.substr(0, 4), "05VN");
}

}  // namespace
}  // namespace tvx
