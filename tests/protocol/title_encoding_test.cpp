#include "protocol/title_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

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

// Every double-byte character that code page 932 knows: the title encoding takes exactly the JIS X 0208
// ones (NEC special characters and IBM extensions included), and what the unit sends back is the same
// character again.
TEST(TitleEncoding, AgreesWithCodePage932ForEveryDoubleByteCharacter) {
    ASSERT_TRUE(QStringDecoder("windows-31j").isValid());
    int accepted = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const QByteArray raw(bytes, 2);
            QStringDecoder decoder("windows-31j");  // its error flag stays set once raised
            const QString character = decoder.decode(raw);
            if (decoder.hasError() || character.size() != 1 || character[0] == QChar::ReplacementCharacter)
                continue;

            const std::string title = std::string(bytes, 2) + "\x82\xA0";  // あ after it keeps a space
            const bool user_defined = lead >= 0xF0 && lead <= 0xF9;
            const std::uint16_t sjis = static_cast<std::uint16_t>(lead << 8 | trail);
            const bool ibm_duplicate =
                (sjis >= 0xFA4A && sjis <= 0xFA54) || (sjis >= 0xFA58 && sjis <= 0xFA5B);
            const auto codes = encode_title(title);
            if (user_defined || ibm_duplicate) {
                EXPECT_FALSE(codes) << std::hex << sjis;
                continue;
            }
            ASSERT_TRUE(codes) << std::hex << sjis;
            ++accepted;
            const std::uint16_t code = (*codes)[0];
            EXPECT_GE(code >> 8, 0x21);
            EXPECT_LE(code >> 8, 0x7C);

            const std::string back = decode_title_codes(*codes);
            ASSERT_EQ(back.size(), 4u) << std::hex << sjis;
            QStringDecoder again_decoder("windows-31j");
            const QString again = again_decoder.decode(QByteArray(back.data(), 2));
            EXPECT_FALSE(again_decoder.hasError());
            EXPECT_EQ(again, character) << std::hex << sjis;
        }
    }
    // JIS X 0208 levels 1 and 2 with symbols, the NEC special characters and the IBM extensions.
    EXPECT_GT(accepted, 7000);
}

TEST(TitleEncoding, QtEncodedTextIsAcceptedAsTyped) {
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(QStringLiteral("日本語のタイトル①Ⅰ㈱髙"));
    ASSERT_FALSE(encoder.hasError());
    const std::string title(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const auto codes = encode_title(title);
    ASSERT_TRUE(codes);
    QStringDecoder decoder("windows-31j");
    const std::string back = decode_title_codes(*codes);
    EXPECT_EQ(decoder.decode(QByteArray(back.data(), static_cast<qsizetype>(back.size()))),
              QStringLiteral("日本語のタイトル①Ⅰ㈱髙"));
}

}  // namespace
}  // namespace tvx
