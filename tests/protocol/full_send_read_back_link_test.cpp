// The whole-unit sequences against the virtual unit through the real links: the serial link on a
// pseudo-terminal and the TCP link on loopback.
#include <QString>
#include <chrono>
#include <memory>

#include <gtest/gtest.h>

#include "editors/document_commands.h"
#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "model/settings_document.h"
#include "protocol/apply_plan.h"
#include "protocol/command_builders.h"
#include "protocol/full_send_sequence.h"
#include "protocol/line_format.h"
#include "protocol/link_tick.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/read_back_sequence.h"
#include "protocol/send_verification.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"
#include "support/tool_on_link.h"
#include "unit/unit_event_loop.h"
#include "unit/unit_serial_host.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using namespace std::chrono_literals;
using testing::RecordingNotices;
using testing::run_until;
using State = PacedSequence::State;

// A document of random settings. The device network settings it also holds are neither sent nor read
// by these sequences, so they keep their defaults.
std::string random_document(unsigned seed) {
    SettingsModel model = testing::random_model(seed);
    model.network = SettingsModel().network;
    return write_document(model);
}

using Tool = testing::ToolOnLink;

class PtyUnit : public ::testing::Test {
  protected:
    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_unit_application();
        QString error;
        ASSERT_TRUE(host.open(error)) << error.toStdString();
    }
    std::string device() const { return host.slave_path().toStdString(); }

    VirtualUnit unit;
    UnitPtyHost host{unit};
};

TEST_F(PtyUnit, FullSendThenReadBackReproducesTheDocument) {
    const std::string document = random_document(2301);
    {
        Tool sender;
        sender.use_serial(device());
        read_document(sender.tool.model, document);
        FullSendSequence seq(sender.tool, sender.dispatch, sender.notices);
        ASSERT_EQ(sender.drive(seq), State::kCompleted);
        EXPECT_EQ(seq.steps_sent(), kFullSendSteps);
        // The pseudo-terminal's missing parity raises no notice; nor do the "GO" answers during the sequence.
        EXPECT_TRUE(sender.notices.texts("error").empty());
        EXPECT_EQ(sender.notices.texts("success"), std::vector<std::string>{});
    }
    EXPECT_EQ(unit.lines_received(), 117);

    Tool reader;
    reader.use_serial(device());
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    ASSERT_EQ(reader.drive(seq), State::kCompleted);
    EXPECT_EQ(write_document(reader.tool.model), document);
    // "Success" at the main window's next tick is the one sign that everything was read.
    link_tick(reader.tool.link, reader.notices);
    EXPECT_EQ(reader.notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_EQ(reader.tool.model.run.batch_step, 0);
}

TEST_F(PtyUnit, AnE3AtStepTenStopsTheReadBackAndTheToolWorksOnAfterwards) {
    unit.faults.error_at_line = 10;
    unit.faults.error_reply = "E3";
    Tool reader;
    reader.use_serial(device());
    reader.tool.model.pages[0].title = "\x82\xA0";
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    ASSERT_EQ(reader.drive(seq), State::kStopped);
    EXPECT_EQ(unit.lines_received(), 10);  // steps 11 to 119 unsent
    EXPECT_EQ(reader.notices.count("error", "Command Error"), 1);
    EXPECT_EQ(reader.tool.model.run.batch_step, 0);
    EXPECT_EQ(reader.tool.link.error_reply, 0);

    // New works again...
    struct NoDialogs : DocumentDialogs {
        std::optional<std::filesystem::path> ask_open_path() override { return std::nullopt; }
        std::optional<std::filesystem::path> ask_save_path() override { return std::nullopt; }
        bool confirm_overwrite(const std::filesystem::path&) override { return false; }
    } dialogs;
    DocumentCommands documents(reader.tool, reader.notices, dialogs);
    documents.document_new();
    EXPECT_EQ(reader.tool.model.pages[0].title, "");

    // ...and a single command shows its success notice.
    reader.notices.clear();
    reader.dispatch.send_command("CFS01S\r\n");
    ASSERT_TRUE(run_until([&] { return reader.tool.link.reply_expected == 0; }));
    link_tick(reader.tool.link, reader.notices);
    EXPECT_EQ(reader.notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_EQ(unit.settings().pages[0].char_size, 2);
}

TEST_F(PtyUnit, BroadcastSendsEveryLineToAllUnitsAndCountsNoTimeOut) {
    unit.rs485 = true;
    unit.address = 5;
    std::vector<std::string> received;
    unit.observer = [&received](std::string_view line, const std::optional<std::string>& answer) {
        received.emplace_back(line);
        EXPECT_FALSE(answer.has_value());
    };
    Tool sender;
    sender.use_serial(device(), 1, kBroadcastAddress);
    sender.tool.model = testing::random_model(485);
    sender.tool.model.run.slave_address = kBroadcastAddress;
    FullSendSequence seq(sender.tool, sender.dispatch, sender.notices);
    ASSERT_TRUE(seq.start());
    int ticks = 0;
    while (seq.tick() == State::kRunning) {
        ++ticks;
        EXPECT_EQ(sender.tool.link.reply_expected, 0);
        // A 400 ms tick is four of the main window's; no answer is awaited, so none is missing.
        for (int i = 0; i < 4; ++i) link_tick(sender.tool.link, sender.notices);
        ASSERT_TRUE(run_until([&] { return unit.lines_received() == seq.steps_sent(); }));
    }
    EXPECT_EQ(seq.state(), State::kCompleted);
    ASSERT_EQ(received.size(), 117u);
    for (const std::string& line : received) EXPECT_EQ(line.substr(0, 2), "FF") << line.substr(0, 10);
    EXPECT_EQ(sender.notices.count("error", "No Connect"), 0);
    SettingsModel held = sender.tool.model;
    held.network = unit.settings().network;
    EXPECT_EQ(testing::dump_unit_settings(held), testing::dump_unit_settings(unit.settings()));
}

// The last step's answer is part of the sequence: the read-back waits for it before it tells what was read,
// and an error answer to it is shown but does not undo a sequence whose every step went out.
TEST_F(PtyUnit, AnErrorAnswerToTheLastReadIsShownAndTheReadCompletes) {
    unit.faults.error_at_line = kReadBackSteps;
    Tool reader;
    reader.use_serial(device());
    reader.notices.clear();
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    ASSERT_EQ(reader.drive(seq), State::kCompleted);
    EXPECT_EQ(seq.steps_sent(), kReadBackSteps);
    // The error answer is shown, and the version it did not give is named as not read.
    const std::vector<std::string> errors = reader.notices.texts("error");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Command Error");
    EXPECT_EQ(errors[1], std::string(kUnreadHeading) + "\nプロトコル: Version Number");
}

TEST_F(PtyUnit, AnotherUnitsAnswerOnRs485IsNotReadAndIsNamedInsteadOfSuccess) {
    unit.rs485 = true;
    unit.address = 5;
    unit.settings().pages[4].title = "\x82\xA0";
    ASSERT_TRUE(unit.set_title(4, unit.settings().pages[4].title));
    // Unit 07 answers the read of page 5 with a title of its own.
    unit.faults.stray_at_line = 5;
    unit.faults.stray_answer = "07" + std::string(without_line_end(*build_title_command("\x82\xA2", 4)));
    Tool reader;
    reader.use_serial(device(), 1, 5);
    reader.tool.model.pages[4].title = "\x93\xFA";
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    ASSERT_EQ(reader.drive(seq), State::kCompleted);
    EXPECT_EQ(seq.unread_steps(), std::vector<int>{5});
    EXPECT_EQ(reader.tool.model.pages[4].title, "\x93\xFA");
    EXPECT_EQ(reader.notices.count("error", std::string(kUnreadHeading) + "\nタイトル: ページ 05"), 1);
    link_tick(reader.tool.link, reader.notices);
    EXPECT_EQ(reader.notices.texts("success"), std::vector<std::string>{});
}

TEST(SerialWithoutUnit, ReadBackStopsAtTheFirstNoConnectAndSaysWhere) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    testing::PtyPair line;
    ASSERT_TRUE(line.ok());
    Tool reader;
    reader.use_serial(line.slave_path());
    reader.notices.clear();
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    ASSERT_TRUE(seq.start());
    std::string written;
    int read_steps = 0;
    while (seq.tick() == State::kRunning) {
        // A 400 ms tick is four of the main window's.
        for (int i = 0; i < 4; ++i) link_tick(reader.tool.link, reader.notices);
        for (; read_steps < seq.steps_sent(); ++read_steps)
            written += line.read(read_back_command(read_steps + 1).size(), 2s);
    }
    // No read goes out while the one before awaits its answer: "No Connect" comes on the 27th main tick
    // and the next tick stops at the first step.
    EXPECT_EQ(seq.state(), State::kStopped);
    EXPECT_EQ(seq.steps_sent(), 1);
    EXPECT_EQ(written, "RCA01\r\n");
    EXPECT_EQ(reader.notices.texts("error"),
              (std::vector<std::string>{"No Connect",
                                        "ステップ 1 で中断しました。応答は一度もありませんでした。"}));
    EXPECT_EQ(reader.tool.model.run.batch_step, 0);
    EXPECT_EQ(reader.tool.link.reply_missed, 0);
    EXPECT_EQ(line.read_for(300ms), "");  // nothing more goes out
}

class TcpUnit : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_unit_application();
        unit.faults.piece_size = 300;  // long answers come in pieces
        unit.faults.piece_gap_ms = 1;
        QString error;
        ASSERT_TRUE(server.listen(0, error)) << error.toStdString();
    }

    VirtualUnit unit;
    UnitTcpServer server{unit};
};

TEST_F(TcpUnit, FullSendThenReadBackReproducesTheDocument) {
    const std::string document = random_document(1964);
    {
        Tool sender;
        ASSERT_TRUE(sender.use_tcp(server.port()));
        read_document(sender.tool.model, document);
        FullSendSequence seq(sender.tool, sender.dispatch, sender.notices);
        ASSERT_EQ(sender.drive(seq), State::kCompleted);
        EXPECT_EQ(sender.notices.texts("success"), std::vector<std::string>{});
        EXPECT_EQ(sender.notices.texts("warning"), std::vector<std::string>{});
    }
    Tool reader;
    ASSERT_TRUE(reader.use_tcp(server.port()));
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    ASSERT_EQ(reader.drive(seq), State::kCompleted);
    EXPECT_EQ(write_document(reader.tool.model), document);
}

// A unit is made to hold a source by sending it only what differs, some per-page settings in their
// single-page form, and reading back only what was sent; afterwards nothing differs any more.
TEST_F(TcpUnit, SendingOnlyWhatDiffersMakesTheUnitHoldTheSource) {
    for (const unsigned seed : {11u, 12u}) {
        Tool tool;
        ASSERT_TRUE(tool.use_tcp(server.port()));
        read_document(tool.tool.model, random_document(seed));
        FullSendSequence load(tool.tool, tool.dispatch, tool.notices);
        ASSERT_EQ(tool.drive(load), State::kCompleted);
        SettingsModel source = tool.tool.model;
        if (seed == 11) {
            source.pages[2].title = "\x93\xFA\x96\x7B";
            source.pages[7].display_position = 1 - source.pages[7].display_position;
            source.alarm_hold_time = "045";
        } else {
            source = testing::random_model(99);
            source.network = SettingsModel().network;
        }
        ReadBackSequence first(tool.tool, tool.dispatch, tool.notices);
        ASSERT_EQ(tool.drive(first), State::kCompleted);
        const std::vector<FullSendItem> items = differing_send_items(source, tool.tool.model);
        if (seed == 11) {
            EXPECT_EQ(items, (std::vector<FullSendItem>{{3}, {97}, {109, 7}}));
        }

        const int lines_before = unit.lines_received();
        const RunState run = tool.tool.model.run;
        tool.tool.model = source;
        tool.tool.model.run = run;
        FullSendSequence send(tool.tool, tool.dispatch, tool.notices, items);
        ASSERT_EQ(tool.drive(send), State::kCompleted) << seed;
        EXPECT_EQ(unit.lines_received() - lines_before, static_cast<int>(items.size()));

        const std::vector<int> reads = read_back_steps_for(items);
        ReadBackSequence again(tool.tool, tool.dispatch, tool.notices, reads);
        ASSERT_EQ(tool.drive(again), State::kCompleted);
        EXPECT_EQ(unit.lines_received() - lines_before, static_cast<int>(items.size() + reads.size()));
        EXPECT_TRUE(again.unread_steps().empty());

        ReadBackSequence whole(tool.tool, tool.dispatch, tool.notices);
        ASSERT_EQ(tool.drive(whole), State::kCompleted);
        EXPECT_TRUE(compare_sent_with_read_back(source, tool.tool.model).empty()) << seed;
        EXPECT_TRUE(differing_send_items(source, tool.tool.model).empty()) << seed;
    }
}

TEST_F(TcpUnit, NoiseAndAnotherCommandsLineLeaveTheirReadsUnread) {
    for (PageSettings& page : unit.settings().pages) page.char_size = 1;
    unit.settings().alarm_hold_time = "045";
    Tool reader;
    ASSERT_TRUE(reader.use_tcp(server.port()));
    reader.tool.model.alarm_hold_time = "010";
    {
        unit.faults.stray_at_line = 98;  // "RADT" answered with noise
        unit.faults.stray_answer = "\x01\x7F#";
        ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
        ASSERT_EQ(reader.drive(seq), State::kCompleted);
        EXPECT_EQ(seq.unread_steps(), std::vector<int>{98});
        EXPECT_EQ(reader.tool.model.alarm_hold_time, "010");
        EXPECT_EQ(reader.notices.texts("error"),
                  std::vector<std::string>{std::string(kUnreadHeading) + "\nアラーム: 保持時間"});
    }
    reader.notices.clear();
    {
        // "RVN", the last read, answered with a character size line after the sizes were read.
        unit.faults.stray_at_line = unit.lines_received() + 119;
        unit.faults.stray_answer = "CFS" + std::string(64, 'S');
        ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
        ASSERT_EQ(reader.drive(seq), State::kCompleted);
        EXPECT_EQ(seq.unread_steps(), std::vector<int>{119});
        EXPECT_EQ(reader.tool.model.pages[7].char_size, 1);
        EXPECT_EQ(reader.tool.model.alarm_hold_time, "045");
        EXPECT_EQ(reader.notices.texts("error"),
                  std::vector<std::string>{std::string(kUnreadHeading) + "\nプロトコル: Version Number"});
    }
}

TEST_F(TcpUnit, AHalfWidthLetterInPageThreeStopsTheFullSendWithTitlesOneAndTwoSent) {
    Tool sender;
    ASSERT_TRUE(sender.use_tcp(server.port()));
    sender.tool.model.pages[0].title = "\x93\xFA";
    sender.tool.model.pages[1].title = "\x96\x7B";
    sender.tool.model.pages[2].title =
        "\x82\xA0"
        "a";
    FullSendSequence seq(sender.tool, sender.dispatch, sender.notices);
    ASSERT_EQ(sender.drive(seq), State::kStopped);
    EXPECT_EQ(seq.refused_page(), 2);
    EXPECT_EQ(unit.lines_received(), 2);
    EXPECT_EQ(unit.title_codes(0)[0], 0x467C);
    EXPECT_EQ(unit.title_codes(1)[0], 0x4B5C);
    EXPECT_EQ(sender.notices.texts("warning"), std::vector<std::string>{std::string(kTitleRefused)});
    EXPECT_EQ(sender.tool.model.run.batch_step, 0);
}

TEST(TcpWithoutConnection, NothingStarts) {
    testing::ensure_unit_application();
    Tool reader;
    reader.tool.config.link_interface = 1;
    reader.tcp = std::make_unique<TcpLink>(reader.tool, reader.notices);
    reader.dispatch.set_tcp(reader.tcp.get());
    ReadBackSequence seq(reader.tool, reader.dispatch, reader.notices);
    EXPECT_FALSE(seq.start());
    EXPECT_EQ(reader.notices.texts("warning"), std::vector<std::string>{"Socket が接続されていません"});
    EXPECT_EQ(reader.tool.model.run.batch_step, 0);
}

TEST_F(TcpUnit, AnErrorAnswerToTheLastLineOfTheFullSendStopsItBeforeItsQuietStep) {
    unit.faults.error_at_line = kFullSendSteps - 1;  // step 118 sends nothing
    Tool sender;
    ASSERT_TRUE(sender.use_tcp(server.port()));
    FullSendSequence seq(sender.tool, sender.dispatch, sender.notices);
    ASSERT_EQ(sender.drive(seq), State::kStopped);
    EXPECT_EQ(seq.steps_sent(), kFullSendSteps - 1);
    EXPECT_EQ(sender.notices.texts("error"), std::vector<std::string>{"Socket Command"});

    unit.faults.error_at_line = 0;
    ReadBackSequence reader(sender.tool, sender.dispatch, sender.notices);
    ASSERT_EQ(sender.drive(reader), State::kCompleted);
    EXPECT_EQ(reader.steps_sent(), kReadBackSteps);
}

}  // namespace
}  // namespace tvx
