#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "glyphs/glyph_store.h"
#include "glyphs/glyph_text.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

TEST(GlyphText, DigitsLightTheirDotsFromTheLeft) {
    const std::string row = "81A0000000000000";
    EXPECT_TRUE(glyph_dot(row, kLarge, 0, 0));
    EXPECT_FALSE(glyph_dot(row, kLarge, 1, 0));
    EXPECT_FALSE(glyph_dot(row, kLarge, 3, 0));
    EXPECT_FALSE(glyph_dot(row, kLarge, 4, 0));
    EXPECT_TRUE(glyph_dot(row, kLarge, 7, 0));
    EXPECT_TRUE(glyph_dot(row, kLarge, 8, 0));
    EXPECT_FALSE(glyph_dot(row, kLarge, 9, 0));
    EXPECT_TRUE(glyph_dot(row, kLarge, 10, 0));
    EXPECT_FALSE(glyph_dot(row, kLarge, 11, 0));
    EXPECT_FALSE(glyph_dot(row, kLarge, 0, 47));  // past the text: dark
    EXPECT_EQ(glyph_digit_value('a'), glyph_digit_value('A'));
    EXPECT_EQ(glyph_digit_value('\0'), 0);
    EXPECT_EQ(normalise_glyph_digit('f'), 'F');
    EXPECT_EQ(normalise_glyph_digit('Z'), '3');  // 90 - 55 = 35, low bits 0011
    for (int v = 0; v < 16; ++v) EXPECT_EQ(glyph_digit_value(glyph_digit_char(v)), v);
}

TEST(GlyphText, SettingDotsWritesUppercaseDigits) {
    std::string text(kSmall.digits, '0');
    EXPECT_TRUE(set_glyph_dot(text, kSmall, 23, 23, true));
    EXPECT_EQ(text.back(), '1');
    EXPECT_FALSE(set_glyph_dot(text, kSmall, 23, 23, true));
    EXPECT_TRUE(set_glyph_dot(text, kSmall, 6, 1, true));  // row 1 starts at digit 6
    EXPECT_EQ(text[7], '2');
    text[0] = 'a';
    EXPECT_FALSE(set_glyph_dot(text, kSmall, 0, 0, true));
    EXPECT_EQ(text[0], 'A');
    EXPECT_FALSE(set_glyph_dot(text, kSmall, 24, 0, true));
}

TEST(GlyphSizes, ConstantsOfTheThreeSizes) {
    for (const GlyphSize* size : kGlyphSizes) {
        EXPECT_EQ(size->digits, size->dots * size->dots / 4);
        EXPECT_EQ(size->digits_per_row * 4, size->dots);
        EXPECT_GT(size->text_length, size->digits);
    }
    GlyphModel glyphs;
    EXPECT_EQ(glyph_bank(glyphs, kLarge).size(), 70u);
    EXPECT_EQ(glyph_bank(glyphs, kMedium).size(), 160u);
    EXPECT_EQ(glyph_bank(glyphs, kSmall).size(), 256u);
    EXPECT_EQ(glyph_bank(glyphs, kSmall)[255], std::string(150, '0'));
}

TEST(WorkingGlyph, LoadAndStoreTouchOnlyTheGlyphDigits) {
    GlyphModel glyphs;
    glyphs.current_slot = 3;
    glyphs.medium_bank[3] = std::string(256, 'C') + "zzzz";
    glyphs.glyph_buffer = std::string(580, '7');
    load_working_glyph(glyphs, kMedium);
    EXPECT_EQ(glyphs.glyph_buffer, std::string(256, 'C') + std::string(324, '7'));

    glyphs.glyph_buffer[0] = '1';
    store_working_glyph(glyphs, kMedium);
    EXPECT_EQ(glyphs.medium_bank[3], "1" + std::string(255, 'C') + "zzzz");

    glyphs.current_slot = 70;  // beyond the large bank
    load_working_glyph(glyphs, kLarge);
    store_working_glyph(glyphs, kLarge);
    EXPECT_EQ(glyphs.glyph_buffer[0], '1');
}

TEST(GlyphStore, DataLineOutsideASequenceFillsTheSlotAndRedraws) {
    GlyphModel glyphs;
    glyphs.current_slot = 5;
    glyphs.glyph_reply_pending = 1;
    int redraws = 0;
    glyphs.redraw_editor = [&redraws] { ++redraws; };
    std::string digits(576, '0');
    digits[0] = 'f';
    digits[575] = '9';
    EXPECT_TRUE(store_glyph_data_line(glyphs, kLarge, "FBMLA36A" + digits));
    EXPECT_EQ(glyphs.large_bank[5][0], 'F');
    EXPECT_EQ(glyphs.large_bank[5][575], '9');
    EXPECT_EQ(glyphs.large_bank[5].size(), 580u);
    EXPECT_EQ(glyphs.glyph_buffer.substr(0, 576), glyphs.large_bank[5].substr(0, 576));
    EXPECT_EQ(glyphs.current_slot, 5);
    EXPECT_EQ(glyphs.glyph_reply_pending, 0);
    EXPECT_EQ(redraws, 1);
}

TEST(GlyphStore, ShortLinesStoreNothing) {
    GlyphModel glyphs;
    glyphs.glyph_reply_pending = 1;
    EXPECT_FALSE(store_glyph_data_line(glyphs, kSmall, "FBMS2422" + std::string(143, 'F')));
    EXPECT_EQ(glyphs.small_bank[0], std::string(150, '0'));
    EXPECT_EQ(glyphs.glyph_buffer, std::string(580, '0'));
    EXPECT_EQ(glyphs.glyph_reply_pending, 0);
}

TEST(GlyphStore, SequenceAdvancesTheSlot) {
    GlyphModel glyphs;
    glyphs.bank_sequence_active = 1;
    int redraws = 0;
    glyphs.redraw_editor = [&redraws] { ++redraws; };
    for (int s = 0; s < kSmall.slot_count; ++s) {
        store_glyph_data_line(glyphs, kSmall, "FBMS0000" + std::string(144, glyph_digit_char(s)));
    }
    EXPECT_EQ(glyphs.current_slot, 256);
    EXPECT_EQ(glyphs.small_bank[17].substr(0, 144), std::string(144, '1'));
    EXPECT_EQ(redraws, 0);
    // A slot index the bank does not have still fills the working glyph and moves on.
    store_glyph_data_line(glyphs, kSmall, "FBMS0000" + std::string(144, 'E'));
    EXPECT_EQ(glyphs.glyph_buffer.substr(0, 144), std::string(144, 'E'));
    EXPECT_EQ(glyphs.current_slot, 257);
}

class BankFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tvx230-bank-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    GlyphModel glyphs;
};

TEST_F(BankFile, WritesOneDigitPerCrLfLine) {
    const std::pair<const GlyphSize*, std::size_t> sizes[] = {
        {&kLarge, 120960}, {&kMedium, 122880}, {&kSmall, 110592}};
    glyphs.large_bank[0] = "a" + std::string(575, '0') + "ZZZZ";  // spare characters are not written
    for (const auto& [size, bytes] : sizes) {
        const auto path = dir / ("bank" + std::string(size->extension));
        ASSERT_TRUE(write_bank_file(glyphs, *size, path));
        std::string text;
        ASSERT_TRUE(read_whole_file(path, text));
        EXPECT_EQ(text.size(), bytes);
        if (size == &kLarge) {
            EXPECT_EQ(text.substr(0, 6), "A\r\n0\r\n");
            EXPECT_EQ(text.find('Z'), std::string::npos);
        }
    }
}

TEST_F(BankFile, ReadsBackWhatWasWritten) {
    for (int s = 0; s < kMedium.slot_count; ++s) {
        for (int d = 0; d < kMedium.digits; ++d) glyphs.medium_bank[s][d] = glyph_digit_char(s * 7 + d);
    }
    const GlyphModel written = glyphs;
    ASSERT_TRUE(write_bank_file(glyphs, kMedium, dir / "m.tlm"));
    reset_glyphs(glyphs);
    ASSERT_TRUE(read_bank_file(glyphs, kMedium, dir / "m.tlm"));
    EXPECT_EQ(glyphs.medium_bank, written.medium_bank);
}

TEST_F(BankFile, AcceptsLfOnlyAndBlankLinesAndNormalisesDigits) {
    std::string text = "\n\na\n \tb\n\n";
    for (int i = 2; i < kSmall.digits; ++i) text += "1\n";
    ASSERT_TRUE(write_file_replacing(dir / "s.tls", text));
    ASSERT_TRUE(read_bank_file(glyphs, kSmall, dir / "s.tls"));
    EXPECT_EQ(glyphs.small_bank[0].substr(0, 3), "AB1");
    EXPECT_EQ(glyphs.small_bank[1], std::string(150, '0'));
}

TEST_F(BankFile, ShortFileKeepsTheRest) {
    for (auto& slot : glyphs.large_bank) slot.assign(580, '5');
    std::string text;
    for (int i = 0; i < 40319; ++i) text += "F\r\n";
    ASSERT_TRUE(write_file_replacing(dir / "l.tll", text));
    ASSERT_TRUE(read_bank_file(glyphs, kLarge, dir / "l.tll"));
    EXPECT_EQ(glyphs.large_bank[69].substr(0, 575), std::string(575, 'F'));
    EXPECT_EQ(glyphs.large_bank[69][575], '5');
    EXPECT_EQ(glyphs.large_bank[69].substr(576), "5555");
}

TEST_F(BankFile, UnreadableOrUnwritablePathsChangeNothing) {
    EXPECT_FALSE(read_bank_file(glyphs, kLarge, dir / "missing.tll"));
    EXPECT_FALSE(write_bank_file(glyphs, kLarge, dir));
    EXPECT_FALSE(write_bank_file(glyphs, kLarge, dir / "no" / "such" / "dir.tll"));
    EXPECT_EQ(glyphs.large_bank[0], std::string(580, '0'));
}

}  // namespace
}  // namespace tvx
