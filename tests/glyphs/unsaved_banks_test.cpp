#include <filesystem>

#include <gtest/gtest.h>

#include "glyphs/glyph_bank_file.h"
#include "glyphs/glyph_store.h"
#include "glyphs/size_conversion.h"
#include "model/tool_state.h"

namespace tvx {
namespace {

std::string data_line(const GlyphSize& size, char digit) {
    return std::string(size.data_prefix) + "A365" + std::string(static_cast<std::size_t>(size.digits), digit);
}

TEST(UnsavedBanks, OnlyChangesOfAGlyphMarkTheBank) {
    GlyphModel glyphs;
    // Storing a working glyph the slot already holds (a click on a lit dot) is no change.
    store_working_glyph(glyphs, kMedium);
    EXPECT_FALSE(bank_modified(glyphs, kMedium));
    glyphs.glyph_buffer[3] = 'F';
    store_working_glyph(glyphs, kMedium);
    EXPECT_TRUE(bank_modified(glyphs, kMedium));
    EXPECT_TRUE(unsaved_banks(glyphs) == std::vector<const GlyphSize*>{&kMedium});

    // A glyph read from the unit marks its bank when it differs from what the slot held.
    glyphs.current_slot = 2;
    store_glyph_data_line(glyphs, kSmall, data_line(kSmall, '0'));
    EXPECT_FALSE(bank_modified(glyphs, kSmall));
    store_glyph_data_line(glyphs, kSmall, data_line(kSmall, 'a'));
    EXPECT_TRUE(bank_modified(glyphs, kSmall));

    // A conversion marks the targets it changed, not the source.
    reset_glyphs(glyphs);
    EXPECT_TRUE(unsaved_banks(glyphs).empty());
    glyphs.current_slot = 100;  // medium and small only
    make_other_sizes(glyphs, kSmall);
    EXPECT_TRUE(unsaved_banks(glyphs).empty());  // a blank glyph converts to blank slots
    glyphs.glyph_buffer.replace(0, 144, std::string(144, 'F'));
    make_other_sizes(glyphs, kSmall);
    EXPECT_TRUE(unsaved_banks(glyphs) == std::vector<const GlyphSize*>{&kMedium});
}

TEST(UnsavedBanks, SavingTheBankOrTheResetClearsItsMark) {
    const auto dir = std::filesystem::temp_directory_path() / "tvx230_unsaved_banks";
    std::filesystem::create_directories(dir);
    ToolState tool;
    for (const GlyphSize* size : kGlyphSizes) set_bank_modified(tool.glyphs, *size, true);
    EXPECT_FALSE(write_bank_file(tool.glyphs, kLarge, dir / "no" / "such.tll"));
    EXPECT_TRUE(bank_modified(tool.glyphs, kLarge));  // a failed save saves nothing
    ASSERT_TRUE(write_bank_file(tool.glyphs, kLarge, dir / "l.tll"));
    EXPECT_FALSE(bank_modified(tool.glyphs, kLarge));
    EXPECT_TRUE(bank_modified(tool.glyphs, kSmall));
    reset_settings(tool);
    EXPECT_TRUE(unsaved_banks(tool.glyphs).empty());
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tvx
