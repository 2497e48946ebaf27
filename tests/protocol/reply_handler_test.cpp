#include "protocol/reply_handler.h"

#include <gtest/gtest.h>

#include "protocol/command_builders.h"
#include "protocol/model_dump.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::RecordingNotices;

class ReplyHandler : public ::testing::Test {
  protected:
    void serial(std::string_view line) { handle_serial_reply(tool, notices, line); }
    void tcp(std::string_view chunk) { handle_tcp_reply(tool, notices, chunk); }

    ToolState tool;
    RecordingNotices notices;
};

TEST_F(ReplyHandler, GoOnTheSerialLineDefersSuccessOutsideBatches) {
    tool.link.reply_expected = 1;
    tool.link.reply_timeout_ticks = 12;
    tool.link.error_reply = 1;
    tool.glyphs.glyph_reply_pending = 1;
    serial("GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 1);
    EXPECT_EQ(tool.link.reply_expected, 0);
    EXPECT_EQ(tool.link.reply_timeout_ticks, 0);
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);
    EXPECT_TRUE(notices.calls.empty());

    tool.link.success_pending = 0;
    tool.model.run.batch_step = 5;
    serial("GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 0);
    tool.model.run.batch_step = 0;
    tool.glyphs.bank_sequence_active = 1;
    serial("GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 0);
    EXPECT_TRUE(notices.calls.empty());

    tool.glyphs.bank_sequence_active = 0;
    serial("GOX\r\n");  // the serial line compares status lines whole
    EXPECT_EQ(tool.link.success_pending, 0);
}

TEST_F(ReplyHandler, GoOverTcpShowsSocketOkAtOnce) {
    tcp("GO\r\n");
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Socket ＯＫ"});
    EXPECT_EQ(tool.link.success_pending, 0);
    tcp("GOX\r\n");  // TCP compares the start only
    EXPECT_EQ(notices.count("success", "Socket ＯＫ"), 2);
    tool.model.run.batch_step = 1;
    tcp("GO\r\n");
    tool.model.run.batch_step = 0;
    tool.glyphs.bank_sequence_active = 1;
    tcp("GO\r\n");
    EXPECT_EQ(notices.calls.size(), 2u);
}

TEST_F(ReplyHandler, StatusErrorsRaiseTheFlagAndTheirNoticesEvenInBatches) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"MENU\r\n", "Menu Display", "Menu Display"},  {"E0\r\n", "Framing Error", "Socket Framing"},
        {"E1\r\n", "Parity Error", "Parity Error"},    {"E2\r\n", "Over Run Error", "Socket Over run"},
        {"E3\r\n", "Command Error", "Socket Command"},
    };
    tool.model.run.batch_step = 10;
    for (const auto& [line, serial_text, tcp_text] : rows) {
        notices.clear();
        tool.link.error_reply = 0;
        serial(line);
        EXPECT_EQ(tool.link.error_reply, 1) << line;
        EXPECT_EQ(notices.texts("error"), std::vector<std::string>{serial_text});

        notices.clear();
        tool.link.error_reply = 0;
        tcp(line);
        EXPECT_EQ(tool.link.error_reply, 1) << line;
        EXPECT_EQ(notices.texts("error"), std::vector<std::string>{tcp_text});
    }
    EXPECT_EQ(tool.link.success_pending, 0);
}

TEST_F(ReplyHandler, ModeDifferenceDoesNotStopBatches) {
    tool.link.error_reply = 1;
    serial("GN\r\n");
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Mode Difference"});
    EXPECT_EQ(tool.link.error_reply, 0);
    notices.clear();
    tcp("GN\r\n");
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Socket mode difference"});
    EXPECT_EQ(tool.link.error_reply, 0);
    notices.clear();
    tool.model.run.batch_step = 3;
    serial("GN\r\n");
    tcp("GN\r\n");
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(ReplyHandler, UnknownLinesChangeNothingAndClearTheErrorFlag) {
    const SettingsModel before = tool.model;
    tool.link.error_reply = 1;
    serial("OK\r\n");
    EXPECT_EQ(tool.link.error_reply, 0);
    tool.link.error_reply = 1;
    tcp("OK\r\n");
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_TRUE(notices.calls.empty());
    EXPECT_EQ(testing::dump_unit_settings(before), testing::dump_unit_settings(tool.model));
}

TEST_F(ReplyHandler, Rs485DropsTheAnsweringUnitsAddress) {
    tool.config.rs_control = 1;
    serial("05GO\r\n");
    EXPECT_EQ(tool.link.success_pending, 1);
    serial("31POSP07\r\n");
    EXPECT_EQ(tool.model.power_on_page, 6);
    serial("\n");  // shorter than an address
    EXPECT_EQ(tool.link.error_reply, 0);
}

TEST_F(ReplyHandler, VersionLineStoresTheVersion) {
    serial("VN1.23\r\n");
    EXPECT_EQ(tool.model.network.version_number, "1.23");
    EXPECT_EQ(tool.link.success_pending, 1);
    tool.link.success_pending = 0;
    tool.model.run.batch_step = 119;
    serial("VN1.24\r\n");
    EXPECT_EQ(tool.link.success_pending, 1);  // the sign that a read-back has finished
    tool.link.success_pending = 0;
    tcp("VN2.00\r\n");
    EXPECT_EQ(tool.model.network.version_number, "2.00");
    EXPECT_EQ(tool.link.success_pending, 0);
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(ReplyHandler, TcpLineInTwoPiecesIsDecodedOnceWhenItsLfArrives) {
    SettingsModel unit;
    for (auto& page : unit.pages) page.char_size = 2;
    const std::string line = build_all_pages_command(unit, PageCommand::CFS);
    tool.link.error_reply = 1;
    tcp(line.substr(0, 30));
    EXPECT_EQ(tool.model.pages[0].char_size, 1);
    EXPECT_TRUE(tool.reply.tcp_line.partial());
    EXPECT_EQ(tool.link.error_reply, 1);  // nothing interpreted yet
    tcp(line.substr(30));
    EXPECT_FALSE(tool.reply.tcp_line.partial());
    EXPECT_TRUE(tool.reply.tcp_line.text.empty());
    EXPECT_EQ(tool.link.error_reply, 0);
    for (const auto& page : tool.model.pages) EXPECT_EQ(page.char_size, 2);

    tcp("G");
    tcp("");
    EXPECT_TRUE(notices.calls.empty());
    tcp("O\r\n");
    EXPECT_EQ(notices.count("success", "Socket ＯＫ"), 1);
}

TEST_F(ReplyHandler, TcpHandlesEveryLineOfAPieceInOrder) {
    tcp("E3\r\nGO\r\nPOSP");
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Socket Command"});
    EXPECT_EQ(notices.count("success", "Socket ＯＫ"), 1);
    EXPECT_EQ(tool.link.error_reply, 0);  // cleared by the GO after it
    tcp("AS\r\n");
    EXPECT_EQ(tool.model.power_on_page, kAutoSwitchPage);
}

TEST_F(ReplyHandler, TcpOverlongLineIsDroppedAndTheNextOneHandled) {
    tcp(std::string(1500, 'X'));
    tcp(std::string(1500, 'X'));  // past the limit without LF
    EXPECT_LE(tool.reply.tcp_line.text.size(), ReplyState::kTcpAccumulationLimit);
    tcp("POSP05\r\n");  // the end of the dropped line
    EXPECT_EQ(tool.model.power_on_page, 0);
    tcp("POSP05\r\n");
    EXPECT_EQ(tool.model.power_on_page, 4);
    EXPECT_TRUE(notices.calls.empty());

    // A title line, the longest, fits.
    tcp("CA01" + std::string(896 - 4, '2') + "2422" + "\r\n");
    EXPECT_EQ(tool.model.pages[0].title.size(), 448u);
}

TEST_F(ReplyHandler, GlyphDataLinesGoToTheStoreOfTheirSize) {
    tool.glyphs.current_slot = 5;
    tool.glyphs.glyph_reply_pending = 1;
    int redraws = 0;
    tool.glyphs.redraw_editor = [&redraws] { ++redraws; };
    serial("FBMLA36A" + std::string(576, 'F') + "\r\n");
    EXPECT_EQ(tool.glyphs.large_bank[5].substr(0, 576), std::string(576, 'F'));
    EXPECT_EQ(tool.glyphs.glyph_buffer.substr(0, 576), std::string(576, 'F'));
    EXPECT_EQ(tool.glyphs.current_slot, 5);
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);
    EXPECT_EQ(redraws, 1);

    tool.glyphs.bank_sequence_active = 1;
    tcp("FBMM2422" + std::string(256, 'a') + "\r\n");
    EXPECT_EQ(tool.glyphs.medium_bank[5].substr(0, 256), std::string(256, 'A'));
    EXPECT_EQ(tool.glyphs.current_slot, 6);
    tcp("FBMS2422" + std::string(143, '1') + "\r\n");  // one digit short
    EXPECT_EQ(tool.glyphs.small_bank[6].substr(0, 144), std::string(144, '0'));
    EXPECT_EQ(tool.glyphs.current_slot, 7);
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(notices.calls.empty());  // "FB" does not take the bitmap lines
}

}  // namespace
}  // namespace tvx
