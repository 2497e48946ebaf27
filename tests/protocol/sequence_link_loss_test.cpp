// Every paced sequence against a virtual unit that goes away in the middle: on a pseudo-terminal, whose
// far end is closed, and over loopback TCP, whose connection is closed. The sequence must stop at that
// step and say which step was the last one answered, never run on to the end and close as complete.
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "link/comm_log.h"
#include "protocol/bus_scan_sequence.h"
#include "protocol/full_send_sequence.h"
#include "protocol/glyph_bank_sequences.h"
#include "protocol/network_read_sequence.h"
#include "protocol/read_back_sequence.h"
#include "protocol/schedule_sequence.h"
#include "protocol/title_send_sequence.h"
#include "support/pty_pair.h"
#include "support/tool_on_link.h"
#include "unit/unit_serial_host.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using namespace std::chrono_literals;
using State = PacedSequence::State;
using testing::run_until;
using testing::ToolOnLink;

struct SequenceKind {
    const char* name;
    std::function<std::unique_ptr<PacedSequence>(ToolState&, CommandLink&, Notices&)> make;
    const char* step_word;  // how the stop notice names step n: step_word followed by n
};

std::string stop_notice(const SequenceKind& kind, int stopped, int answered) {
    return std::string(kind.step_word) + std::to_string(stopped) + " で中断しました。最後に応答があったのは" +
           kind.step_word + std::to_string(answered) + " です。";
}

const SequenceKind kKinds[] = {
    {"ReadBack",
     [](ToolState& t, CommandLink& l, Notices& n) { return std::make_unique<ReadBackSequence>(t, l, n); },
     "ステップ "},
    {"FullSend",
     [](ToolState& t, CommandLink& l, Notices& n) { return std::make_unique<FullSendSequence>(t, l, n); },
     "ステップ "},
    {"TitleSendAll",
     [](ToolState& t, CommandLink& l, Notices& n) { return std::make_unique<TitleSendSequence>(t, l, n); },
     "ステップ "},
    {"ScheduleAllDays",
     [](ToolState& t, CommandLink& l, Notices& n) { return std::make_unique<ScheduleSequence>(t, l, n); },
     "ステップ "},
    {"NetworkRead",
     [](ToolState& t, CommandLink& l, Notices& n) { return std::make_unique<NetworkReadSequence>(t, l, n); },
     "ステップ "},
    {"GlyphReadAll",
     [](ToolState& t, CommandLink& l, Notices& n) {
         return std::make_unique<GlyphBankRead>(t, kMedium, l, n);
     },
     "No."},
    {"GlyphRegisterAll",
     [](ToolState& t, CommandLink& l, Notices& n) {
         return std::make_unique<GlyphBankRegister>(t, kSmall, l, n);
     },
     "No."},
};

// Three steps answered, the fourth carried out but left unanswered, then the unit goes.
constexpr int kSilentLine = 4;

class KilledOnPty : public ::testing::TestWithParam<SequenceKind> {
  protected:
    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_unit_application();
        unit.faults.silent_at_line = kSilentLine;
        host = std::make_unique<UnitPtyHost>(unit);
        QString error;
        ASSERT_TRUE(host->open(error)) << error.toStdString();
        tool.use_serial(host->slave_path().toStdString());
        tool.notices.clear();  // the pseudo-terminal's missing parity
    }

    VirtualUnit unit;
    std::unique_ptr<UnitPtyHost> host;
    ToolOnLink tool;
};

TEST_P(KilledOnPty, TheSequenceStopsAtTheStepWhereTheUnitWent) {
    const SequenceKind& kind = GetParam();
    std::unique_ptr<PacedSequence> seq = kind.make(tool.tool, tool.dispatch, tool.notices);
    ASSERT_TRUE(seq->start());
    for (int i = 0; i < kSilentLine - 1; ++i) ASSERT_EQ(tool.step(*seq), State::kRunning);
    ASSERT_EQ(seq->tick(), State::kRunning);
    ASSERT_TRUE(run_until([&] { return unit.lines_received() == kSilentLine; }));

    host.reset();  // the unit goes away with its end of the line
    ASSERT_TRUE(run_until([&] { return tool.tool.link.link_lost != 0; }, 3s));
    EXPECT_EQ(seq->tick(), State::kStopped);

    EXPECT_EQ(seq->steps_sent(), kSilentLine);
    EXPECT_TRUE(seq->stopped_by_link());
    ASSERT_FALSE(tool.notices.texts("error").empty());
    EXPECT_EQ(tool.notices.texts("error").back(), stop_notice(kind, kSilentLine, kSilentLine - 1));
    EXPECT_EQ(tool.tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.tool.glyphs.bank_sequence_active, 0);
    // The loss is seen and acted on: the next sequence starts clean.
    EXPECT_EQ(tool.tool.link.link_lost, 0);
    EXPECT_EQ(seq->tick(), State::kStopped);
}

INSTANTIATE_TEST_SUITE_P(EverySequence, KilledOnPty, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<SequenceKind>& info) { return info.param.name; });

TEST(KilledOnPtyBroadcast, AFullSendToAllUnitsStopsWhenThePortIsLost) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.rs485 = true;
    unit.address = 5;
    auto host = std::make_unique<UnitPtyHost>(unit);
    QString error;
    ASSERT_TRUE(host->open(error)) << error.toStdString();
    ToolOnLink tool;
    tool.use_serial(host->slave_path().toStdString(), 1, kBroadcastAddress);
    tool.notices.clear();
    FullSendSequence seq(tool.tool, tool.dispatch, tool.notices);
    ASSERT_TRUE(seq.start());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(seq.tick(), State::kRunning);
        ASSERT_TRUE(run_until([&] { return unit.lines_received() == seq.steps_sent(); }));
    }
    host.reset();
    ASSERT_TRUE(run_until([&] { return tool.tool.link.link_lost != 0; }, 3s));
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(seq.steps_sent(), 3);
    EXPECT_EQ(tool.notices.texts("error").back(),
              "ステップ 3 で中断しました。一斉送信には応答がありません。送信できたのはステップ 3 までです。");
}

TEST(KilledOnPtyBusScan, AnUnansweredAddressGoesOnButALostPortStopsTheScan) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.rs485 = true;
    unit.address = 1;
    auto host = std::make_unique<UnitPtyHost>(unit);
    QString error;
    ASSERT_TRUE(host->open(error)) << error.toStdString();
    ToolOnLink tool;
    tool.use_serial(host->slave_path().toStdString(), 1, 0);
    tool.notices.clear();
    BusScanSequence seq(tool.tool, tool.dispatch, tool.notices, 3);
    tool.serial->set_reply_handler([&seq](const std::string& line) { seq.reply_line(line); });
    ASSERT_TRUE(seq.start());
    // Address 00 is empty and times out, 01 answers, 02 is asked.
    while (seq.steps_sent() < 3) {
        ASSERT_EQ(seq.tick(), State::kRunning);
        run_until([] { return false; }, 20ms);
    }
    host.reset();
    ASSERT_TRUE(run_until([&] { return tool.tool.link.link_lost != 0; }, 3s));
    EXPECT_EQ(seq.tick(), State::kStopped);
    ASSERT_EQ(seq.found().size(), 1u);
    EXPECT_EQ(seq.found()[0].address, 1);
    EXPECT_EQ(tool.notices.texts("error").back(),
              "アドレス 02 で中断しました。最後に応答があったのはアドレス 01 です。");
    EXPECT_EQ(tool.tool.model.run.slave_address, 0);  // the address chosen before the scan
}

class KilledOverTcp : public ::testing::TestWithParam<SequenceKind> {
  protected:
    void SetUp() override {
        testing::ensure_unit_application();
        server = std::make_unique<UnitTcpServer>(unit);
        QString error;
        ASSERT_TRUE(server->listen(0, error)) << error.toStdString();
        ASSERT_TRUE(tool.use_tcp(server->port()));
    }

    VirtualUnit unit;
    std::unique_ptr<UnitTcpServer> server;
    ToolOnLink tool;
};

TEST_P(KilledOverTcp, TheSequenceStopsAtTheStepWhoseAnswerNeverCame) {
    const SequenceKind& kind = GetParam();
    unit.faults.silent_at_line = kSilentLine;
    std::unique_ptr<PacedSequence> seq = kind.make(tool.tool, tool.dispatch, tool.notices);
    ASSERT_TRUE(seq->start());
    for (int i = 0; i < kSilentLine - 1; ++i) ASSERT_EQ(tool.step(*seq), State::kRunning);
    ASSERT_EQ(seq->tick(), State::kRunning);
    ASSERT_TRUE(run_until([&] { return unit.lines_received() == kSilentLine; }));

    server.reset();  // the unit closes every connection as it goes
    ASSERT_TRUE(run_until([&] { return tool.tool.link.link_lost != 0; }, 3s));
    EXPECT_EQ(seq->tick(), State::kStopped);
    EXPECT_EQ(seq->steps_sent(), kSilentLine);
    EXPECT_EQ(tool.notices.texts("warning"), std::vector<std::string>{"Answer が､きません"});
    EXPECT_EQ(tool.notices.texts("error"),
              std::vector<std::string>{stop_notice(kind, kSilentLine, kSilentLine - 1)});
    EXPECT_EQ(tool.tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.tool.glyphs.bank_sequence_active, 0);
}

INSTANTIATE_TEST_SUITE_P(EverySequence, KilledOverTcp, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<SequenceKind>& info) { return info.param.name; });

// Answers that always come a little after the answer wait has given up.
class LateOverTcp : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_unit_application();
        QString error;
        ASSERT_TRUE(server.listen(0, error)) << error.toStdString();
        ASSERT_TRUE(tool.use_tcp(server.port()));
        tool.tcp->set_answer_timeout_ms(60);
        tool.tcp->set_traffic_observer(log.observer());
        unit.faults.delay_ms = 150;
    }

    int late_entries() const {
        int count = 0;
        for (const CommLogEntry& entry : log.entries())
            count += entry.direction == TrafficDirection::kReceivedLate;
        return count;
    }

    VirtualUnit unit;
    UnitTcpServer server{unit};
    ToolOnLink tool;
    CommLog log;
};

TEST_F(LateOverTcp, ATimedOutStepStopsTheSequenceHoweverLateItsAnswerComes) {
    tool.tool.model.network.version_number = "0.00";
    ReadBackSequence seq(tool.tool, tool.dispatch, tool.notices);
    ASSERT_TRUE(seq.start());
    ASSERT_EQ(tool.step(seq), State::kRunning);  // the answer wait gives up on step 1
    // Its answer comes before the next tick: dropped and logged, so nothing clears the failure.
    ASSERT_TRUE(run_until([&] { return tool.tcp->late_answers_owed() == 0 && late_entries() == 1; }));
    EXPECT_EQ(tool.tool.link.error_reply, 1);
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(seq.steps_sent(), 1);
    EXPECT_EQ(unit.lines_received(), 1);
    EXPECT_EQ(tool.notices.texts("warning"), std::vector<std::string>{"Answer が､きません"});
    EXPECT_EQ(tool.notices.texts("error"),
              std::vector<std::string>{"ステップ 1 で中断しました。応答は一度もありませんでした。"});
    EXPECT_EQ(tool.tool.model.run.batch_step, 0);
}

TEST_F(LateOverTcp, ALateAnswerIsLoggedAndDroppedAndTheNextCommandIsAnsweredAsUsual) {
    tool.tool.model.network.version_number = "0.00";
    tool.tool.model.network.port_number = "09004";
    unit.settings().network.port_number = "10001";
    tool.dispatch.send_command("RVN\r\n");
    ASSERT_TRUE(run_until([&] { return !tool.tcp->answer_pending(); }));
    EXPECT_EQ(tool.tcp->late_answers_owed(), 1);
    ASSERT_TRUE(run_until([&] { return tool.tcp->late_answers_owed() == 0; }));
    EXPECT_EQ(tool.tool.model.network.version_number, "0.00");  // "VN..." was dropped
    EXPECT_EQ(tool.tool.link.error_reply, 1);                   // and cleared nothing
    EXPECT_EQ(tool.tool.link.reply_missed, 1);

    unit.faults.delay_ms = 0;
    tool.tcp->set_answer_timeout_ms(3000);
    tool.dispatch.send_command("REPN\r\n");
    ASSERT_TRUE(run_until([&] { return !tool.tcp->answer_pending(); }));
    EXPECT_EQ(tool.tool.model.network.port_number, "10001");
    EXPECT_EQ(late_entries(), 1);
    EXPECT_EQ(tool.notices.texts("warning"), std::vector<std::string>{"Answer が､きません"});
    // Sent RVN, the late VN dropped, sent REPN, the EPN answer handled.
    ASSERT_EQ(log.entries().size(), 4u);
    EXPECT_EQ(log.entries()[1].bytes.substr(0, 2), "VN");
    EXPECT_NE(render_entry(log.entries()[1]).find("遅延破棄"), std::string::npos);
    EXPECT_EQ(log.entries()[3].direction, TrafficDirection::kReceived);
}

TEST_F(LateOverTcp, AnAnswerLaterThanTheGraceIsHandledAgain) {
    tool.tool.model.network.version_number = "0.00";
    tool.tcp->set_late_answer_ms(20);
    unit.faults.delay_ms = 400;
    tool.dispatch.send_command("RVN\r\n");
    ASSERT_TRUE(run_until([&] { return !tool.tcp->answer_pending(); }));
    ASSERT_TRUE(run_until([&] { return tool.tcp->late_answers_owed() == 0; }));
    // The unit lost that command for all the link knows: what comes next is an answer again.
    ASSERT_TRUE(run_until([&] { return tool.tool.model.network.version_number != "0.00"; }, 2s));
    EXPECT_EQ(late_entries(), 0);
}

}  // namespace
}  // namespace tvx
