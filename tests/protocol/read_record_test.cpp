// Which reads of a read sequence read their setting, and what the operator is told at the end.
#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "protocol/command_builders.h"
#include "protocol/line_format.h"
#include "protocol/link_tick.h"
#include "protocol/model_dump.h"
#include "protocol/network_read_sequence.h"
#include "protocol/random_model.h"
#include "protocol/read_back_sequence.h"
#include "protocol/reply_handler.h"
#include "protocol/serial_framing.h"
#include "support/recording_notices.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

using testing::RecordingNotices;
using State = PacedSequence::State;

// A unit reached in-process as over the serial line (or, with tcp set, over TCP), whose answers to some
// steps are replaced: the k-th line sent is answered with answers[k] as it stands, CR LF added.
class ScriptedUnitLink : public CommandLink {
  public:
    ScriptedUnitLink(ToolState& tool, Notices& notices, VirtualUnit& unit)
        : tool_(tool), notices_(notices), unit_(unit) {}

    void send_command(std::string_view line) override {
        ++sent;
        const SerialFrame frame =
            frame_serial_line(line, tool_.config.rs_control, tool_.model.run.slave_address);
        std::vector<std::string> replies = unit_.receive(tcp ? std::string(line) : frame.bytes);
        if (const auto it = answers.find(sent); it != answers.end()) replies = {it->second + "\r\n"};
        for (const std::string& reply : replies) {
            if (tcp) {
                handle_tcp_reply(tool_, notices_, reply);
            } else {
                handle_serial_reply(tool_, notices_, reply);
            }
        }
    }
    bool tcp_is_connected() const override { return true; }

    std::map<int, std::string> answers;
    bool tcp = false;
    int sent = 0;

  private:
    ToolState& tool_;
    Notices& notices_;
    VirtualUnit& unit_;
};

State run(PacedSequence& seq, ToolState& tool, RecordingNotices& notices) {
    EXPECT_TRUE(seq.start());
    for (int ticks = 0; seq.tick() == State::kRunning && ticks < 200; ++ticks) link_tick(tool.link, notices);
    link_tick(tool.link, notices);  // the main window's tick after the end
    return seq.state();
}

std::string title_line(const std::string& title, int page) {
    return std::string(without_line_end(*build_title_command(title, page)));
}

class ReadBackRecord : public ::testing::Test {
  protected:
    ReadBackRecord() {
        unit.settings() = testing::random_model(7);
        // Every setting these tests look at differs from the tool's before the read.
        unit.settings().remote_mode = (tool.model.remote_mode + 1) % 3;
        for (PageSettings& page : unit.settings().pages) {
            page.char_size = (SettingsModel().pages[0].char_size + 1) % 3;
            page.display_position = 1 - SettingsModel().pages[0].display_position;
        }
        unit.settings().schedule[1][0].hour = (tool.model.schedule[1][0].hour + 1) % 24;
        for (int page = 0; page < kPageCount; ++page)
            EXPECT_TRUE(unit.set_title(page, unit.settings().pages[static_cast<std::size_t>(page)].title));
        tool.model.pages[4].title = "\x93\xFA";  // the tool's own before the read
        tool.model.pages[19].title = "\x96\x7B";
        before = tool.model;
    }

    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    ScriptedUnitLink link{tool, notices, unit};
    SettingsModel before;
};

TEST_F(ReadBackRecord, ReadsAnsweredByAnythingButTheirDataLineAreNamedInsteadOfSuccess) {
    link.answers[5] = "#?";                            // noise
    link.answers[20] = title_line("\x82\xA0", 20);     // the title of page 21 for the read of page 20
    link.answers[66] = "GN";                           // a status, which does not stop the sequence
    link.answers[104] = "CFSLLL";                      // its own data line, cut short
    link.answers[113] = "CFS" + std::string(64, 'S');  // another command's data line for "RRM"
    ReadBackSequence seq(tool, link, notices);
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_EQ(link.sent, 119);

    EXPECT_EQ(seq.unread_steps(), (std::vector<int>{5, 20, 66, 104, 113}));
    EXPECT_EQ(seq.read_steps().size(), 114u);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{});
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{
                  std::string(kUnreadHeading) +
                  "\nタイトル: ページ 05, ページ 20\nスケジュール: 2日\n文字サイズ\nリモート: モード"});

    // What was not read keeps its old value; a line that was not asked for changes nothing.
    EXPECT_EQ(tool.model.pages[4].title, before.pages[4].title);
    EXPECT_EQ(tool.model.pages[19].title, before.pages[19].title);
    EXPECT_EQ(tool.model.pages[20].title, unit.settings().pages[20].title);
    EXPECT_EQ(tool.model.schedule[1][0].hour, before.schedule[1][0].hour);
    EXPECT_EQ(tool.model.remote_mode, before.remote_mode);
    for (int page = 0; page < kPageCount; ++page) {
        EXPECT_EQ(tool.model.pages[static_cast<std::size_t>(page)].char_size,
                  before.pages[static_cast<std::size_t>(page)].char_size);
    }
    // The rest was read.
    EXPECT_EQ(tool.model.pages[5].title, unit.settings().pages[5].title);
    EXPECT_EQ(tool.model.schedule[2][5].page, unit.settings().schedule[2][5].page);
    EXPECT_EQ(tool.model.alarm_hold_time, unit.settings().alarm_hold_time);
    EXPECT_EQ(tool.model.network.version_number, unit.settings().network.version_number);
}

TEST_F(ReadBackRecord, OnRs485OnlyTheAskedUnitsLineReads) {
    unit.rs485 = true;
    unit.address = 5;
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 5;
    std::string cfs = build_all_pages_command(unit.settings(), PageCommand::CFS);
    cfs = std::string(without_line_end(cfs));
    link.answers[3] = "07" + title_line("\x82\xA0", 2);  // unit 07 answering the read of page 3
    link.answers[104] = "07" + cfs;
    ReadBackSequence seq(tool, link, notices);
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_EQ(seq.unread_steps(), (std::vector<int>{3, 104}));
    EXPECT_EQ(tool.model.pages[2].title, before.pages[2].title);
    EXPECT_EQ(tool.model.pages[0].char_size, before.pages[0].char_size);
    // The unit asked, with its address in front, reads.
    EXPECT_EQ(tool.model.pages[0].display_position, unit.settings().pages[0].display_position);
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{std::string(kUnreadHeading) + "\nタイトル: ページ 03\n文字サイズ"});
}

TEST_F(ReadBackRecord, TheVideoLossSettingReadTwiceIsReadWhenEitherAnswerReadsIt) {
    link.answers[117] = "#?";
    ReadBackSequence seq(tool, link, notices);
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_TRUE(seq.unread_steps().empty());
    EXPECT_EQ(tool.model.video_loss_background, unit.settings().video_loss_background);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{});
}

TEST_F(ReadBackRecord, OverTcpTheSameRuleHoldsAndAWholeReadStaysQuiet) {
    tool.config.link_interface = 1;
    link.tcp = true;
    ReadBackSequence seq(tool, link, notices);
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_TRUE(seq.unread_steps().empty());
    // Over TCP the version line raises nothing.
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{});

    link.answers[link.sent + 119] = "PAS" + std::string(64, 'L');  // for "RVN"
    link.answers[link.sent + 1] = "GN";
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_EQ(seq.unread_steps(), (std::vector<int>{1, 119}));
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{std::string(kUnreadHeading) +
                                       "\nタイトル: ページ 01\nプロトコル: Version Number"});
    EXPECT_EQ(tool.model.pages[0].auto_switch, unit.settings().pages[0].auto_switch);
}

TEST(ReadRecord, NamesRunsOfPagesAndDaysAndGroupsByEditor) {
    ToolState tool;
    ReadRecord record(kReadBackSteps, read_back_step);
    EXPECT_EQ(record.unread_steps().size(), 119u);  // nothing sent is nothing read
    const std::vector<int> unread{1, 2, 3, 7, 64, 65, 66, 95, 96, 99, 105, 112};
    for (int step = 1; step <= kReadBackSteps; ++step) {
        record.sent(tool, step);
        const bool read = std::find(unread.begin(), unread.end(), step) == unread.end();
        tool.reply.awaited.answer = read ? ReadAnswer::kRead : ReadAnswer::kOther;
    }
    record.ended(tool);
    EXPECT_FALSE(tool.reply.awaited.active);
    EXPECT_EQ(record.unread_steps(), unread);
    EXPECT_EQ(record.unread_description(),
              "タイトル: ページ 01〜03, ページ 07, ページ 64\nスケジュール: 1日〜2日, 31日\n"
              "アラーム: コネクター番号割り付け, モード\nその他: コネクター入力, 電源投入時ページ");
    EXPECT_EQ(read_step_name(read_back_step(7)), "タイトル ページ 07");
    EXPECT_EQ(read_step_name(read_back_step(104)), "文字サイズ");
    EXPECT_EQ(read_step_name(read_back_step(113)), "リモート モード");
    EXPECT_EQ(read_back_step(97).mnemonic, "ADO");
    EXPECT_EQ(read_back_step(114).mnemonic, "TSDO");
}

TEST(NetworkReadRecord, AnUnreadSettingIsNamedAndKeepsItsValue) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    unit.settings().network.ip_address = {10, 1, 2, 3};
    unit.settings().network.mac_address = "00-11-22-33-44-55";
    ScriptedUnitLink link(tool, notices, unit);
    link.answers[3] = "#?";                  // "REIA"
    link.answers[9] = "EGA010.001.002.254";  // another address for "REMA"
    const NetworkSettings before = tool.model.network;
    NetworkReadSequence seq(tool, link, notices);
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_EQ(seq.record().unread_steps(), (std::vector<int>{3, 9}));
    EXPECT_EQ(tool.model.network.ip_address, before.ip_address);
    EXPECT_EQ(tool.model.network.mac_address, before.mac_address);
    EXPECT_EQ(tool.model.network.gateway_address, unit.settings().network.gateway_address);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kUnreadHeading) +
                                                               "\nプロトコル: IP Address, MAC Address"});

    // Read whole, it ends with "Success" as before.
    notices.clear();
    link.answers.clear();
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    EXPECT_EQ(tool.model.network.ip_address, (IPv4Octets{10, 1, 2, 3}));
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{});
}

// Outside a read sequence, and after one, data lines are decoded as they come.
TEST(ReadRecord, DataLinesOutsideAReadSequenceAreDecodedAsBefore) {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    ScriptedUnitLink link(tool, notices, unit);
    NetworkReadSequence seq(tool, link, notices);
    ASSERT_EQ(run(seq, tool, notices), State::kCompleted);
    handle_serial_reply(tool, notices, "CFS" + std::string(64, 'M') + "\r\n");
    EXPECT_EQ(tool.model.pages[9].char_size, 1);
    handle_serial_reply(tool, notices, "VN2.00\r\n");
    EXPECT_EQ(tool.model.network.version_number, "2.00");
    EXPECT_EQ(tool.link.success_pending, 1);
}

}  // namespace
}  // namespace tvx
