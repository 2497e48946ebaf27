#include "protocol/title_encoding.h"

#include <gtest/gtest.h>

#include "protocol/recording_link.h"
#include "protocol/shift_jis.h"

namespace tvx {
namespace {

std::string codes_of(const std::string& line) {
    return line.substr(4, line.size() - 6);
}

std::string repeat(const std::string& code, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += code;
    return out;
}

TEST(TitleEncoding, FillsWithIdeographicSpaces) {
    const auto empty = build_title_command(std::string_view{}, 0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 902u);
    EXPECT_EQ(empty->substr(0, 4), "CA01");
    EXPECT_EQ(codes_of(*empty), repeat("2121", 224));

    const auto nihon = build_title_command("\x93\xFA\x96\x7B", 63);
    ASSERT_TRUE(nihon);
    EXPECT_EQ(nihon->substr(0, 4), "CA64");
    EXPECT_EQ(codes_of(*nihon), "467C4B5C" + repeat("2121", 222));
}

TEST(TitleEncoding, FullTitleHasNoFiller) {
    std::string title;
    for (int i = 0; i < 224; ++i) title += "\x82\xA0";  // あ
    const auto line = build_title_command(title, 4);
    ASSERT_TRUE(line);
    EXPECT_EQ(codes_of(*line), repeat("2422", 224));
    EXPECT_FALSE(build_title_command(title + "\x82\xA0", 4));  // 450 bytes
}

TEST(TitleEncoding, RefusesWhatTheUnitCannotShow) {
    const std::string refused[] = {
        "A",   // half-width, odd length
        "AB",  // two half-width characters form no double-byte cell
        "\x82\xA0"
        "A",         // odd length
        "\xB1\xB2",  // half-width katakana
        "\xF0\x40",  // user-defined area
        "\xFA\x4A",  // IBM code with its character among the NEC special characters
        "\xFA\x58",
        "\x09\x09",            // control cell other than a line break
        std::string(2, '\0'),  // an empty cell
        "\x82",                // a lead byte without its trail
    };
    for (const std::string& title : refused) EXPECT_FALSE(encode_title(title)) << title;
    testing::RecordingLink link;
    SettingsModel model;
    model.pages[2].title = "A";
    EXPECT_FALSE(send_title(model, link, 2));
    EXPECT_TRUE(link.lines.empty());
    model.pages[2].title = "\x82\xA0";
    EXPECT_TRUE(send_title(model, link, 2));
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 8), "CA032422");
}

TEST(TitleEncoding, IbmExtensionsGoThroughTheirNecSelectedCodes) {
    const auto line = build_title_command("\xFA\x40", 0);
    ASSERT_TRUE(line);
    EXPECT_EQ(codes_of(*line).substr(0, 4), "7C71");
    EXPECT_EQ(ibm_to_nec(0xFA55), 0xEEFA);
    EXPECT_EQ(ibm_to_nec(0xFA5C), 0xED40);
    EXPECT_EQ(ibm_to_nec(0xFA80), 0xED63);
    EXPECT_EQ(ibm_to_nec(0xFB40), 0xEDE1);
    EXPECT_EQ(ibm_to_nec(0xFC4B), 0xEEEC);
    EXPECT_EQ(ibm_to_nec(0xFC4C), 0);
}

TEST(TitleEncoding, GlyphCellsAndLineBreaks) {
    std::string title("\x10\x20", 2);     // glyph slot 0
    title += std::string("\x11\x00", 2);  // glyph slot 62: a zero byte inside the title
    title += "\r\n";                      // a typed line break
    title += "\x82\xA0";
    const auto line = build_title_command(title, 0);
    ASSERT_TRUE(line);
    EXPECT_EQ(codes_of(*line).substr(0, 16), "A365A445A04F2422");

    SettingsModel model;
    ASSERT_TRUE(decode_title(model, *line));
    EXPECT_EQ(model.pages[0].title, title);
}

TEST(TitleDecoding, DropsTrailingSpacesAndStopsAtInvalidCodes) {
    SettingsModel model;
    model.pages[1].title = "old";
    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "2422" +
                                 repeat("2121", 223) + "\r\n"));
    EXPECT_EQ(model.pages[1].title, "\x82\xA0");
    ASSERT_TRUE(decode_title(model, "CA02" + repeat("2121", 224) + "\r\n"));
    EXPECT_EQ(model.pages[1].title, "");

    // Spaces inside the title stay; a code naming no character ends it.
    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "2121"
                             "2422"
                             "7F21"
                             "2422" +
                                 repeat("2121", 220)));
    EXPECT_EQ(model.pages[1].title, "\x81\x40\x82\xA0");
    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "2422"
                             "A344" +
                                 repeat("2422", 222)));  // below the glyph codes
    EXPECT_EQ(model.pages[1].title, "\x82\xA0");
    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "2422"
                             "A67F" +
                                 repeat("2422", 222)));  // above them
    EXPECT_EQ(model.pages[1].title, "\x82\xA0");
    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "2422"
                             "7D21" +
                                 repeat("2422", 222)));
    EXPECT_EQ(model.pages[1].title, "\x82\xA0");
    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "2422"
                             "24G2" +
                                 repeat("2422", 222)));  // not hexadecimal
    EXPECT_EQ(model.pages[1].title, "\x82\xA0");

    ASSERT_TRUE(decode_title(model,
                             "CA02"
                             "A365" +
                                 repeat("2121", 223)));
    EXPECT_EQ(model.pages[1].title, std::string("\x10\x20", 2));
}

TEST(TitleDecoding, VoidPagesAndShortLinesChangeNothing) {
    SettingsModel model;
    model.pages[0].title = "keep";
    model.pages[63].title = "keep";
    const std::string codes = repeat("2422", 224);
    EXPECT_FALSE(decode_title(model, "CA00" + codes));
    EXPECT_FALSE(decode_title(model, "CA65" + codes));
    EXPECT_FALSE(decode_title(model, "CAxx" + codes));
    EXPECT_FALSE(decode_title(model, "CA01" + codes.substr(0, 895) + "\r\n"));
    EXPECT_EQ(model.pages[0].title, "keep");
    EXPECT_EQ(model.pages[63].title, "keep");
}

TEST(TitleDecoding, EveryGlyphSlotSurvivesTheRoundTrip) {
    SettingsModel model;
    TitleCodes codes{};
    for (std::uint16_t first = kFirstGlyphCell; first <= kLastGlyphCell; first += kTitleCells) {
        codes.fill(kIdeographicSpace);
        for (int k = 0; k < kTitleCells && first + k <= kLastGlyphCell; ++k) {
            codes[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(first + k + kGlyphCellOffset);
        }
        model.pages[0].title = decode_title_codes(codes);
        const auto again = encode_title(model.pages[0].title);
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, codes);
    }
}

}  // namespace
}  // namespace tvx
