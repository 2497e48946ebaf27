#include "unit/virtual_unit.h"

#include <gtest/gtest.h>

#include "glyphs/glyph_text.h"
#include "model/settings_document.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/reply_handler.h"
#include "support/recording_notices.h"
#include "unit/unit_script.h"

namespace tvx {
namespace {

std::string ask(VirtualUnit& unit, const std::string& line) {
    const auto answer = unit.handle_line(line + "\r\n");
    return answer ? *answer : std::string("<none>");
}

TEST(VirtualUnit, SettingsAnswerGoAndReadsAnswerTheirDataLines) {
    VirtualUnit unit;
    EXPECT_EQ(ask(unit, "CFS05L"), "GO\r\n");
    EXPECT_EQ(unit.settings().pages[4].char_size, 0);
    const std::string cfs = ask(unit, "RCFS");
    EXPECT_EQ(cfs.size(), 67u + 2u);
    EXPECT_EQ(cfs.substr(0, 9), "CFSMMMMLM");

    EXPECT_EQ(ask(unit, "CBS" + std::string(64, 'N')), "GO\r\n");
    EXPECT_EQ(ask(unit, "CBS01OF"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RCBS").substr(0, 6), "CBSFNN");
    EXPECT_EQ(ask(unit, "AME"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RAM"), "AME\r\n");
    EXPECT_EQ(ask(unit, "ADON"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RAD"), "ADON\r\n");
    EXPECT_EQ(ask(unit, "TSDON"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RTSD"), "TSDON\r\n");
    EXPECT_EQ(ask(unit, "ADT045"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RADT"), "ADT045\r\n");
    EXPECT_EQ(ask(unit, "RCA0908070605040302"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RACA"), "ACA0908070605040302\r\n");
    EXPECT_EQ(ask(unit, "POSPAS"), "GO\r\n");
    EXPECT_EQ(ask(unit, "RPOSP"), "POSPAS\r\n");
    EXPECT_EQ(ask(unit, "EIA010.000.000.005"), "GO\r\n");
    EXPECT_EQ(ask(unit, "REIA"), "EIA010.000.000.005\r\n");
    EXPECT_EQ(ask(unit, "EPN09005"), "GO\r\n");
    EXPECT_EQ(ask(unit, "REPN"), "EPN09005\r\n");
    EXPECT_EQ(ask(unit, "RVN"), "VN1.00\r\n");
    EXPECT_EQ(ask(unit, "REMA"), "EMA02-00-00-00-02-30\r\n");
    std::string spaces;
    for (int i = 0; i < 224; ++i) spaces += "2121";
    EXPECT_EQ(ask(unit, "RCA01"), "CA01" + spaces + "\r\n");
    EXPECT_EQ(ask(unit, "RSD31").substr(0, 10), "SD31000000");
}

TEST(VirtualUnit, UnitOnlyCommandsAndTheirChecks) {
    VirtualUnit unit;
    EXPECT_EQ(ask(unit, "DSY16"), "GO\r\n");
    EXPECT_EQ(ask(unit, "DSM12"), "GO\r\n");
    EXPECT_EQ(ask(unit, "TSS59"), "GO\r\n");
    EXPECT_EQ(ask(unit, "TSA"), "GO\r\n");
    EXPECT_EQ(unit.clock().year, 16);
    EXPECT_EQ(unit.clock().month, 12);
    EXPECT_EQ(unit.clock().second, 59);
    EXPECT_EQ(unit.clock().corrections, 1);
    EXPECT_EQ(ask(unit, "P07"), "GO\r\n");
    EXPECT_EQ(unit.display_page(), 6);
    EXPECT_EQ(ask(unit, "PAS"), "GO\r\n");
    EXPECT_EQ(unit.display_page(), 64);
    EXPECT_EQ(ask(unit, "IDOF"), "GO\r\n");
    EXPECT_FALSE(unit.display_on());

    const char* refused[] = {"XYZ",
                             "",
                             "CFS65M",
                             "CFS00M",
                             "CFS01X",
                             "CFS01MM",
                             "IDO0116",
                             "DSM13",
                             "ADT002",
                             "ADT01",
                             "POSP65",
                             "EIA256.000.000.000",
                             "EIA010,000.000.005",
                             "EPN9004",
                             "GRL071"
                             "0",
                             "RCA65",
                             "RSD32",
                             "RFBMLXYZW",
                             "G257P01I001",
                             "G001P01I225",
                             "CABC0190",
                             "TSDR9",
                             "ESMD",
                             "SD32"};
    for (const char* line : refused) EXPECT_EQ(ask(unit, line), "E3\r\n") << line;
}

TEST(VirtualUnit, GlyphsAreRegisteredReadAndInserted) {
    VirtualUnit unit;
    std::string glyph(144, '0');
    glyph[0] = 'F';
    EXPECT_EQ(ask(unit, "GRS256" + glyph), "GO\r\n");
    EXPECT_EQ(ask(unit, "RFBMSA64A"), "FBMSA64A" + glyph + "\r\n");
    EXPECT_EQ(ask(unit, "GRS001" + std::string(144, 'a')), "E3\r\n");  // lower case is no glyph digit
    EXPECT_EQ(ask(unit, "GRS001" + std::string(143, 'A')), "E3\r\n");

    // A sample character gets a pattern of its own.
    const std::string a = ask(unit, "RFBML2422");
    const std::string b = ask(unit, "RFBML2421");
    EXPECT_EQ(a.size(), 8u + 576u + 2u);
    EXPECT_EQ(a.substr(0, 8), "FBML2422");
    EXPECT_NE(a.substr(8), b.substr(8));

    EXPECT_EQ(ask(unit, "G001P02I003"), "GO\r\n");
    EXPECT_EQ(unit.title_codes(1)[2], 0xA365);
    EXPECT_EQ(unit.settings().pages[1].title, std::string("\x81\x40\x81\x40\x10\x20", 6));
}

TEST(VirtualUnit, Rs485AnswersOnlyItsAddressAndObeysBroadcasts) {
    VirtualUnit unit;
    unit.rs485 = true;
    unit.address = 5;
    EXPECT_EQ(ask(unit, "05CFS01L"), "05GO\r\n");
    EXPECT_EQ(ask(unit, "06CFS01S"), "<none>");
    EXPECT_EQ(unit.settings().pages[0].char_size, 0);
    EXPECT_EQ(ask(unit, "FFCFS01S"), "<none>");
    EXPECT_EQ(unit.settings().pages[0].char_size, 2);
    EXPECT_EQ(ask(unit, "05RCI"), "05CIA\r\n");
    EXPECT_EQ(ask(unit, "5"), "<none>");
    EXPECT_EQ(unit.lines_received(), 3);
}

TEST(VirtualUnit, FaultsReplaceSilenceAndSplitAnswers) {
    VirtualUnit unit;
    unit.faults.error_at_line = 2;
    unit.faults.error_reply = "MENU";
    EXPECT_EQ(ask(unit, "CFS01L"), "GO\r\n");
    EXPECT_EQ(ask(unit, "CFS02L"), "MENU\r\n");
    EXPECT_EQ(unit.settings().pages[1].char_size, 1);  // not carried out
    EXPECT_EQ(ask(unit, "CFS03L"), "GO\r\n");

    unit.faults.error_every_line = true;
    unit.faults.error_reply = "GN";
    EXPECT_EQ(ask(unit, "CFS04L"), "GN\r\n");

    unit.faults = UnitFaults{};
    unit.faults.silent_at_line = unit.lines_received() + 1;
    EXPECT_EQ(ask(unit, "CFS05L"), "<none>");
    EXPECT_EQ(unit.settings().pages[4].char_size, 0);
    unit.faults.silent = true;
    EXPECT_EQ(ask(unit, "RCFS"), "<none>");

    EXPECT_EQ(answer_pieces("GO\r\n", 0), std::vector<std::string>{"GO\r\n"});
    EXPECT_EQ(answer_pieces("FBML1234\r\n", 4), (std::vector<std::string>{"FBML", "1234", "\r\n"}));
}

TEST(VirtualUnit, LinesMayArriveInAnyPieces) {
    VirtualUnit unit;
    EXPECT_TRUE(unit.receive("CF").empty());
    EXPECT_TRUE(unit.receive("S01").empty());
    EXPECT_EQ(unit.receive("L\r\nRCI\r\nCI"), (std::vector<std::string>{"GO\r\n", "CIA\r\n"}));
    EXPECT_EQ(unit.receive("R\r\n"), std::vector<std::string>{"GO\r\n"});
}

TEST(VirtualUnit, KeepsItsStateInADocumentAndBankFiles) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tvx230-unit-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    VirtualUnit unit;
    for (const std::string& line : testing::send_all_lines(testing::random_model(7))) {
        ASSERT_EQ(unit.handle_line(line), std::optional<std::string>("GO\r\n")) << line.substr(0, 10);
    }
    ask(unit, "GRM160" + std::string(256, '5'));
    ASSERT_TRUE(unit.save(dir / "unit.dat"));

    VirtualUnit again;
    ASSERT_TRUE(again.load(dir / "unit.dat"));
    EXPECT_EQ(write_document(again.settings()), write_document(unit.settings()));
    for (int page = 0; page < kPageCount; ++page) EXPECT_EQ(again.title_codes(page), unit.title_codes(page));
    EXPECT_EQ(again.glyphs().medium_bank[159].substr(0, 256), std::string(256, '5'));
    EXPECT_FALSE(again.load(dir / "missing.dat"));
    std::filesystem::remove_all(dir);
}

// A tool that sends a whole model to a unit and reads it back into a fresh model, in process: builders,
// the unit, the read commands, the reply handling and its decoders.
class InProcessRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(InProcessRoundTrip, ReadBackGivesTheSentModel) {
    const bool rs485 = GetParam();
    for (unsigned seed = 1; seed <= 5; ++seed) {
        VirtualUnit unit;
        unit.rs485 = rs485;
        unit.address = 17;
        SettingsModel sent = testing::random_model(seed);
        sent.network.version_number = unit.settings().network.version_number;
        sent.network.mac_address = unit.settings().network.mac_address;

        const std::string prefix = rs485 ? "17" : "";
        for (const std::string& line : testing::send_all_lines(sent)) {
            ASSERT_EQ(unit.handle_line(prefix + line), prefix + "GO\r\n") << line.substr(0, 10);
        }
        ToolState tool;
        tool.config.rs_control = rs485 ? 1 : 0;
        testing::RecordingNotices notices;
        tool.model.run.batch_step = 1;
        for (const std::string& line : testing::read_all_lines()) {
            const auto answer = unit.handle_line(prefix + line);
            ASSERT_TRUE(answer) << line;
            handle_serial_reply(tool, notices, *answer);
            ASSERT_EQ(tool.link.error_reply, 0) << line;
        }
        EXPECT_EQ(testing::dump_unit_settings(sent), testing::dump_unit_settings(tool.model))
            << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Rs232cAndRs485, InProcessRoundTrip, ::testing::Values(false, true));

TEST(InProcessGlyphs, BankReadBackThroughTheStore) {
    VirtualUnit unit;
    for (int s = 0; s < kLarge.slot_count; ++s) {
        std::string glyph(576, glyph_digit_char(s));
        ASSERT_EQ(unit.handle_line(build_glyph_register(kLarge, s, glyph)),
                  std::optional<std::string>("GO\r\n"));
    }
    ToolState tool;
    testing::RecordingNotices notices;
    tool.glyphs.bank_sequence_active = 1;
    while (tool.glyphs.current_slot < kLarge.slot_count) {
        const auto answer = unit.handle_line(build_glyph_read(kLarge, glyph_code(tool.glyphs.current_slot)));
        ASSERT_TRUE(answer);
        handle_serial_reply(tool, notices, *answer);
    }
    for (int s = 0; s < kLarge.slot_count; ++s) {
        EXPECT_EQ(tool.glyphs.large_bank[s].substr(0, 576), unit.glyphs().large_bank[s].substr(0, 576));
    }
    EXPECT_TRUE(notices.calls.empty());
}

}  // namespace
}  // namespace tvx
