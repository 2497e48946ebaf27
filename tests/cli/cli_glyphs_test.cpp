#include <random>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_bank_file.h"
#include "glyphs/size_conversion.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;
using testing::ScriptedUnit;

void fill_random(GlyphModel& glyphs, const GlyphSize& size, unsigned seed) {
    std::mt19937 random(seed);
    for (std::string& slot : glyph_bank(glyphs, size)) {
        for (int d = 0; d < size.digits; ++d)
            slot[static_cast<std::size_t>(d)] = "0123456789ABCDEF"[random() % 16];
    }
}

using CliGlyphsOverTcp = testing::CliAgainstTcpUnit;

TEST_F(CliGlyphsOverTcp, ReadAndRegisterWholeBanks) {
    fill_random(unit.glyphs(), kSmall, 1);
    ASSERT_EQ(cli.run({"--tcp", target, "--pace", "reply", "glyphs", "read", "small", "-o", files.path("s")}),
              0)
        << cli.errors();
    EXPECT_EQ(files.read("s.tls"), bank_file_text(unit.glyphs(), kSmall));  // the bank's extension appended
    ASSERT_EQ(received.size(), 256u);
    EXPECT_EQ(received[0], "RFBMSA365\r\n");

    GlyphModel sent;
    fill_random(sent, kMedium, 2);
    received.clear();
    ASSERT_EQ(cli.run({"--tcp", target, "--pace", "reply", "glyphs", "register",
                       files.write("m.TLM", bank_file_text(sent, kMedium))}),
              0)
        << cli.errors();
    ASSERT_EQ(received.size(), 160u);
    EXPECT_EQ(received[159].substr(0, 6), "GRM160");
    for (int s = 0; s < kMedium.slot_count; ++s) {
        ASSERT_EQ(unit.glyphs().medium_bank[s].substr(0, 256), sent.medium_bank[s].substr(0, 256)) << s;
    }

    // A bank file that cannot be read whole sends nothing.
    received.clear();
    EXPECT_EQ(cli.run({"--tcp", target, "glyphs", "register", files.write("bad.tls", "0\r\n1\r\n")}), 1);
    EXPECT_NE(cli.errors().find("not a whole bank file"), std::string::npos) << cli.errors();
    EXPECT_TRUE(received.empty());
}

TEST(CliGlyphsHostile, AUnitThatNeverSendsTheGlyphEndsTheReadAfterThreeAsksASlot) {
    CliHarness cli;
    Files files;
    ScriptedUnit unit([](int, const QByteArray&) { return ScriptedUnit::Answer{"GO\r\n"}; });
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(unit.port()), "--pace", "reply", "glyphs",
                       "read", "large", "-o", files.path("l.tll")}),
              1);
    // Each slot is asked three times, then the read goes on with the next.
    ASSERT_EQ(unit.lines.size(), static_cast<std::size_t>(3 * kLarge.slot_count));
    EXPECT_EQ(std::vector<std::string>(unit.lines.begin(), unit.lines.begin() + 4),
              (std::vector<std::string>{"RFBMLA365\r\n", "RFBMLA365\r\n", "RFBMLA365\r\n", "RFBMLA366\r\n"}));
    EXPECT_FALSE(files.exists("l.tll"));
    EXPECT_NE(cli.errors().find("not read: No.1, No.2, No.3"), std::string::npos) << cli.errors();
}

TEST(CliGlyphsOffline, ConvertDerivesTheOtherSizesAsTheEditorDoes) {
    CliHarness cli;
    Files files;
    GlyphModel source;
    fill_random(source, kLarge, 3);
    GlyphModel existing;
    fill_random(existing, kSmall, 4);
    const std::string large = files.write("src.tll", bank_file_text(source, kLarge));
    const std::string small = files.write("old.tls", bank_file_text(existing, kSmall));

    ASSERT_EQ(cli.run({"glyphs", "convert", large, "--number", "5", "--into", files.path("new.tlm"), "--into",
                       small}),
              0)
        << cli.errors();
    GlyphModel expected = source;
    expected.small_bank = existing.small_bank;
    expected.current_slot = 4;
    expected.glyph_buffer = source.large_bank[4];
    make_other_sizes(expected, kLarge);
    EXPECT_EQ(files.read("new.tlm"), bank_file_text(expected, kMedium));  // a missing target starts blank
    EXPECT_EQ(files.read("old.tls"), bank_file_text(expected, kSmall));

    // Every number of a small bank: large takes 70, medium 160 of them.
    GlyphModel small_source;
    fill_random(small_source, kSmall, 5);
    ASSERT_EQ(cli.run({"glyphs", "convert", files.write("all.tls", bank_file_text(small_source, kSmall)),
                       "--number", "all", "--into", files.path("all.tll")}),
              0);
    GlyphModel all = small_source;
    for (int slot = 0; slot < kSmall.slot_count; ++slot) {
        all.current_slot = slot;
        all.glyph_buffer = small_source.small_bank[static_cast<std::size_t>(slot)];
        make_other_sizes(all, kSmall);
    }
    EXPECT_EQ(files.read("all.tll"), bank_file_text(all, kLarge));

    // A damaged source or target: exit status 1 and nothing written.
    EXPECT_EQ(cli.run({"glyphs", "convert", files.write("bad.tll", "F\r\n"), "--number", "1", "--into",
                       files.path("x.tls")}),
              1);
    EXPECT_EQ(
        cli.run({"glyphs", "convert", large, "--number", "1", "--into", files.write("bad.tlm", "Z\r\n")}), 1);
    EXPECT_FALSE(files.exists("x.tls"));
    EXPECT_EQ(files.read("bad.tlm"), "Z\r\n");
}

TEST(CliGlyphsOffline, BitmapOfTheListsThumbnail) {
    CliHarness cli;
    Files files;
    GlyphModel glyphs;
    fill_random(glyphs, kMedium, 6);
    const std::string bank = files.write("b.tlm", bank_file_text(glyphs, kMedium));
    ASSERT_EQ(
        cli.run({"glyphs", "bmp", bank, "--number", "7", "-o", files.path("g7"), "--background", "D4D0C8"}),
        0)
        << cli.errors();
    const RgbImage image =
        glyph_cell_image(glyphs.medium_bank[6], kMedium, 96, 96, RgbColour{0xD4, 0xD0, 0xC8});
    const std::string bytes = files.read("g7.bmp");
    EXPECT_EQ(bytes, bitmap_file_bytes(image));
    EXPECT_EQ(bytes.size(), 27702u);

    EXPECT_EQ(
        cli.run({"glyphs", "bmp", files.path("missing.tls"), "--number", "1", "-o", files.path("m.bmp")}), 1);
    EXPECT_NE(cli.errors().find("missing.tls: does not exist"), std::string::npos) << cli.errors();
}

}  // namespace
}  // namespace tvx
