#include <gtest/gtest.h>

#include "glyphs/glyph_bank_file.h"

namespace tvx {
namespace {

TEST(StrictBankFile, AWrittenBankComesBackWholeInEverySize) {
    for (const GlyphSize* size : kGlyphSizes) {
        GlyphModel written;
        auto& bank = glyph_bank(written, *size);
        for (int s = 0; s < size->slot_count; ++s) {
            for (int d = 0; d < size->digits; ++d) bank[s][d] = "0123456789ABCDEF"[(s * 5 + d) % 16];
        }
        GlyphModel read;
        ASSERT_FALSE(read_bank_text_strict(read, *size, bank_file_text(written, *size)).has_value());
        EXPECT_EQ(glyph_bank(read, *size), bank) << size->extension;
    }
}

TEST(StrictBankFile, LowerCaseAndWhiteSpaceAreReadAsTheToolReadsThem) {
    std::string text = "\n a\t\n";
    for (int i = 1; i < kSmall.slot_count * kSmall.digits; ++i) text += "f\n";
    GlyphModel glyphs;
    ASSERT_FALSE(read_bank_text_strict(glyphs, kSmall, text).has_value());
    EXPECT_EQ(glyphs.small_bank[0].substr(0, 3), "AFF");
}

TEST(StrictBankFile, RefusesShortLongAndForeignFilesAndKeepsTheBank) {
    const std::size_t digits = static_cast<std::size_t>(kLarge.slot_count * kLarge.digits);
    std::string whole;
    for (std::size_t i = 0; i < digits; ++i) whole += "F\r\n";
    const struct {
        std::string text;
        const char* mentions;
    } cases[] = {
        {whole.substr(0, whole.size() - 3), "40319"},
        {whole + "0\r\n", "line 40321"},
        {std::string("F\r\nG\r\n") + whole.substr(6), "line 2"},
        {std::string(), "0 of"},
        // A medium bank is longer than a large one: not mistaken for one.
        {std::string(static_cast<std::size_t>(kMedium.slot_count * kMedium.digits), '0'), "more than"},
    };
    for (const auto& c : cases) {
        GlyphModel glyphs;
        glyphs.large_bank[0].assign(580, '7');
        const auto problem = read_bank_text_strict(glyphs, kLarge, c.text);
        ASSERT_TRUE(problem.has_value()) << c.mentions;
        EXPECT_NE(problem->find(c.mentions), std::string::npos) << *problem;
        EXPECT_EQ(glyphs.large_bank[0], std::string(580, '7'));
    }
}

}  // namespace
}  // namespace tvx
