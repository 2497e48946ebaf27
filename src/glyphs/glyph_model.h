#pragma once

#include <string>
#include <vector>

namespace tvx {

// A glyph is held as uppercase hexadecimal text, row by row, four dots per digit, leftmost dot weight 8.
struct GlyphSize {
    int dots;         // width and height in dots
    int slot_count;   // slots in the unit's bank (not "slots": Qt defines that word as a macro)
    int text_length;  // hexadecimal digits of one glyph
};
inline constexpr GlyphSize kLarge{48, 70, 580};
inline constexpr GlyphSize kMedium{32, 160, 260};
inline constexpr GlyphSize kSmall{24, 256, 150};
inline constexpr int kGlyphBufferLength = 580;

struct GlyphModel {
    std::vector<std::string> large_bank;
    std::vector<std::string> medium_bank;
    std::vector<std::string> small_bank;
    std::string glyph_buffer;  // the working glyph of the editor
    int current_slot = 0;
    int glyph_reply_pending = 0;
    int bank_sequence_active = 0;

    GlyphModel();
};

// Fills every bank slot and the working glyph with "0" and clears the slot index and reply flag.
void reset_glyphs(GlyphModel& glyphs);

}  // namespace tvx
