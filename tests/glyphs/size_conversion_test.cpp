#include "glyphs/size_conversion.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "glyphs/glyph_text.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

std::string row_of(const std::string& text, const GlyphSize& size, int r) {
    return text.substr(static_cast<std::size_t>(r * size.digits_per_row),
                       static_cast<std::size_t>(size.digits_per_row));
}

std::string converted(const std::string& source, const GlyphSize& from, const GlyphSize& to) {
    std::string target(static_cast<std::size_t>(to.digits), '0');
    convert_glyph_size(source, from, target, to);
    return target;
}

// A straightforward second reading of the conversion, written from the source digits each target digit
// uses rather than from the common grid.
std::string reference(const std::string& source, const GlyphSize& from, const GlyphSize& to,
                      std::string target) {
    const auto value = [](char c) { return glyph_digit_value(c); };
    const auto src = [&](int r, int p) {
        return value(source[static_cast<std::size_t>(r * from.digits_per_row + p)]);
    };
    const int d = to.digits_per_row;
    std::vector<int> rows;
    std::vector<int> digits;
    bool clear_left = true;
    std::vector<int> repeats;
    std::vector<int> fallback;
    const std::string pair[16] = {"00", "18", "3C", "3C", "7E", "7E", "7E", "7E",
                                  "18", "19", "1A", "1B", "1C", "1D", "FF", "FF"};
    if (&from == &kSmall && &to == &kLarge) {
        for (int r = 0; r < 47; ++r) {
            for (int q = 0; q < 12; ++q) {
                int v = value(pair[src(r / 2, q / 2)][static_cast<std::size_t>(q % 2)]);
                if (q == 0) v &= ~8;
                if (q == 11) v &= ~1;
                target[static_cast<std::size_t>(r * 12 + q)] = glyph_digit_char(v);
            }
        }
        return target;
    }
    for (int r = 0; r < to.dots - 1; ++r) {
        if (&from == &kLarge && &to == &kSmall) rows.push_back(2 * r);
        if (&from == &kLarge && &to == &kMedium) rows.push_back(3 * r / 2);
        if (&from == &kMedium && &to == &kSmall) rows.push_back(4 * r / 3);
        if (&from == &kMedium && &to == &kLarge) rows.push_back(2 * r / 3);
        if (&from == &kSmall && &to == &kMedium) rows.push_back(3 * r / 4);
    }
    if (&from == &kLarge && &to == &kSmall) {
        digits = {0, 2, 4, 6, 8, 10};
        clear_left = false;
    } else if (&from == &kLarge && &to == &kMedium) {
        digits = {0, 2, 3, 5, 6, 8, 9, 11};
        fallback = {0, 1, 3, 4, 6, 7, 9, 10};
    } else if (&from == &kMedium && &to == &kSmall) {
        digits = {0, 1, 3, 4, 5, 7};
    } else if (&from == &kMedium && &to == &kLarge) {
        digits = {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7};
        repeats = {1, 4, 7, 10};
    } else {
        digits = {0, 1, 1, 2, 3, 4, 4, 5};
        repeats = {2, 6};
    }
    for (int r = 0; r < to.dots - 1; ++r) {
        for (int p = 0; p < d; ++p) {
            int v = src(rows[static_cast<std::size_t>(r)], digits[static_cast<std::size_t>(p)]);
            if (!fallback.empty() && v == 0)
                v = src(rows[static_cast<std::size_t>(r)], fallback[static_cast<std::size_t>(p)]);
            for (int q : repeats) {
                if (q == p && v != 15) v = 0;
            }
            if (p == d - 1) v &= ~1;
            if (p == 0 && clear_left) v &= ~8;
            target[static_cast<std::size_t>(r * d + p)] = glyph_digit_char(v);
        }
    }
    return target;
}

TEST(SizeConversion, WorkedExamples) {
    const std::string all_large(kLarge.digits, 'F');
    const std::string small = converted(all_large, kLarge, kSmall);
    const std::string medium = converted(all_large, kLarge, kMedium);
    for (int r = 0; r <= 22; ++r) EXPECT_EQ(row_of(small, kSmall, r), "FFFFFE") << r;
    for (int r = 0; r <= 30; ++r) EXPECT_EQ(row_of(medium, kMedium, r), "7FFFFFFE") << r;
    EXPECT_EQ(row_of(small, kSmall, 23), "000000");  // the last row is never written
    EXPECT_EQ(row_of(medium, kMedium, 31), "00000000");

    for (const GlyphSize* from : {&kMedium, &kSmall}) {
        const std::string large =
            converted(std::string(static_cast<std::size_t>(from->digits), 'F'), *from, kLarge);
        for (int r = 0; r <= 46; ++r) EXPECT_EQ(row_of(large, kLarge, r), "7FFFFFFFFFFE") << from->name << r;
        EXPECT_EQ(row_of(large, kLarge, 47), "000000000000");
    }

    std::string large_source(kLarge.digits, '0');
    large_source.replace(0, 12, "0F0000000000");
    EXPECT_EQ(row_of(converted(large_source, kLarge, kMedium), kMedium, 0), "0F000000");

    std::string small_source(kSmall.digits, '0');
    small_source.replace(0, 6, "100000");
    const std::string large = converted(small_source, kSmall, kLarge);
    EXPECT_EQ(row_of(large, kLarge, 0), "180000000000");
    EXPECT_EQ(row_of(large, kLarge, 1), "180000000000");
    EXPECT_EQ(row_of(large, kLarge, 2), "000000000000");

    large_source.replace(0, 12, "A00000000000");  // the leftmost dot of the first group is cleared
    EXPECT_EQ(row_of(converted(large_source, kLarge, kMedium), kMedium, 0)[0], '2');
}

TEST(SizeConversion, SmallDigitsBecomeCentredLargePairs) {
    const std::string expected[16] = {"00", "18", "3C", "3C", "7E", "7E", "7E", "7E",
                                      "18", "19", "1A", "1B", "1C", "1D", "FF", "FF"};
    for (int v = 0; v < 16; ++v) EXPECT_EQ(small_to_large_pair(glyph_digit_char(v)), expected[v]);
    // Repeat blanking: a partial group at a doubled position stays single.
    std::string medium(kMedium.digits, '0');
    medium.replace(0, 8, "6F0F0000");
    EXPECT_EQ(row_of(converted(medium, kMedium, kLarge), kLarge, 0), "60F00F000000");
}

TEST(SizeConversion, AgreesWithAStraightforwardReferenceOnRandomGlyphs) {
    std::mt19937 random(230);
    const auto random_text = [&](const GlyphSize& size) {
        std::string text(static_cast<std::size_t>(size.digits), '0');
        std::uniform_int_distribution<int> sparse(0, 3);
        std::uniform_int_distribution<int> digit(0, 15);
        for (char& c : text)
            c = sparse(random) == 0 ? '0' : sparse(random) == 1 ? 'F' : glyph_digit_char(digit(random));
        return text;
    };
    for (int round = 0; round < 200; ++round) {
        for (const GlyphSize* from : kGlyphSizes) {
            const std::string source = random_text(*from);
            for (const GlyphSize* to : kGlyphSizes) {
                if (to == from) continue;
                const std::string before = random_text(*to);  // what the slot held
                std::string target = before;
                convert_glyph_size(source, *from, target, *to);
                ASSERT_EQ(target, reference(source, *from, *to, before)) << from->name << " to " << to->name;
                EXPECT_EQ(row_of(target, *to, to->dots - 1), row_of(before, *to, to->dots - 1));
            }
        }
    }
}

class CreateOtherSizes : public ::testing::Test {
  protected:
    void draw(const GlyphSize& size) {
        glyphs.glyph_buffer.replace(0, static_cast<std::size_t>(size.digits),
                                    static_cast<std::size_t>(size.digits), 'F');
    }
    bool changed(const GlyphSize& size, int slot) const {
        return glyph_bank(glyphs, size)[static_cast<std::size_t>(slot)] !=
               std::string(static_cast<std::size_t>(size.text_length), '0');
    }
    GlyphModel glyphs;
    testing::RecordingNotices notices;
};

TEST_F(CreateOtherSizes, TargetsThatDoNotExistAreSkipped) {
    glyphs.current_slot = 69;
    draw(kLarge);
    ASSERT_TRUE(create_other_sizes(glyphs, kLarge, notices));
    EXPECT_TRUE(changed(kMedium, 69));
    EXPECT_TRUE(changed(kSmall, 69));
    EXPECT_FALSE(changed(kLarge, 69));  // the source slot is not the converter's business

    glyphs.current_slot = 70;
    draw(kMedium);
    ASSERT_TRUE(create_other_sizes(glyphs, kMedium, notices));
    EXPECT_TRUE(changed(kSmall, 70));
    for (int s = 0; s < kLarge.slot_count; ++s) EXPECT_FALSE(changed(kLarge, s));

    const GlyphModel before = glyphs;
    glyphs.current_slot = 200;
    draw(kSmall);
    ASSERT_TRUE(create_other_sizes(glyphs, kSmall, notices));
    EXPECT_EQ(glyphs.large_bank, before.large_bank);
    EXPECT_EQ(glyphs.medium_bank, before.medium_bank);
    EXPECT_EQ(notices.texts("sizes").size(), 3u);
}

TEST_F(CreateOtherSizes, NoLeavesEverythingAndYesKeepsTheLastRowsAndTheWorkingGlyph) {
    glyphs.current_slot = 3;
    draw(kSmall);
    glyphs.medium_bank[3].replace(31 * 8, 8, "12345678");
    notices.answers = {false};
    EXPECT_FALSE(create_other_sizes(glyphs, kSmall, notices));
    EXPECT_FALSE(changed(kLarge, 3));

    const std::string working = glyphs.glyph_buffer;
    ASSERT_TRUE(create_other_sizes(glyphs, kSmall, notices));
    EXPECT_EQ(glyphs.glyph_buffer, working);
    EXPECT_EQ(glyphs.medium_bank[3].substr(31 * 8, 8), "12345678");
    EXPECT_EQ(glyphs.medium_bank[3].substr(0, 8), "7FFFFFFE");
    EXPECT_EQ(glyphs.large_bank[3].substr(47 * 12), std::string(12 + 4, '0'));  // last row and spare
    EXPECT_EQ(glyphs.small_bank[3], std::string(150, '0'));
}

}  // namespace
}  // namespace tvx
