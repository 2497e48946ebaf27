#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

// A glyph is held as uppercase hexadecimal text, row by row, four dots per digit, leftmost dot weight 8.
// Every size-dependent constant of the glyph tools comes from one of the three GlyphSize values below.
struct GlyphSize {
    int dots;         // width and height in dots
    int slot_count;   // slots in the unit's bank (not "slots": Qt defines that word away)
    int text_length;  // characters a bank slot holds: the glyph digits and spare characters after them
    int index;        // 0 large, 1 medium, 2 small
    int digits_per_row;
    int digits;                          // hexadecimal digits of one glyph (N)
    std::string_view name;               // as the operator sees it
    std::string_view extension;          // bank file
    std::string_view register_mnemonic;  // registration command
    std::string_view read_mnemonic;      // bitmap read command
    std::string_view data_prefix;        // the unit's bitmap data line
};
inline constexpr GlyphSize kLarge{48, 70, 580, 0, 12, 576, "大文字", ".tll", "GRL", "RFBML", "FBML"};
inline constexpr GlyphSize kMedium{32, 160, 260, 1, 8, 256, "中文字", ".tlm", "GRM", "RFBMM", "FBMM"};
inline constexpr GlyphSize kSmall{24, 256, 150, 2, 6, 144, "小文字", ".tls", "GRS", "RFBMS", "FBMS"};
inline constexpr const GlyphSize* kGlyphSizes[] = {&kLarge, &kMedium, &kSmall};
inline constexpr int kGlyphBufferLength = 580;

struct GlyphModel {
    std::vector<std::string> large_bank;
    std::vector<std::string> medium_bank;
    std::vector<std::string> small_bank;
    std::string glyph_buffer;  // the working glyph of the editor
    int current_slot = 0;      // shared slot index; each user keeps it inside its own size's range
    int glyph_reply_pending = 0;
    int bank_sequence_active = 0;
    // Per bank (by GlyphSize::index): glyphs that no bank file holds yet. Set when drawing, a read from
    // the unit or a size conversion changes a slot; cleared by saving or opening a bank file, by clearing
    // the bank and by the reset. Registering the bank on a unit does not save it.
    std::array<int, 3> bank_modified{};

    // Set by the open registration editor: called after a glyph read back from the unit has been stored
    // outside a bank sequence, so the editor redraws its grid.
    std::function<void()> redraw_editor;

    GlyphModel();
};

// Fills every bank slot and the working glyph with "0" and clears the slot index, the reply flag and the
// banks' modified flags.
void reset_glyphs(GlyphModel& glyphs);

// The bank of one size.
std::vector<std::string>& glyph_bank(GlyphModel& glyphs, const GlyphSize& size);
const std::vector<std::string>& glyph_bank(const GlyphModel& glyphs, const GlyphSize& size);

bool bank_modified(const GlyphModel& glyphs, const GlyphSize& size);
void set_bank_modified(GlyphModel& glyphs, const GlyphSize& size, bool modified);
// The sizes whose banks hold unsaved glyphs, large first.
std::vector<const GlyphSize*> unsaved_banks(const GlyphModel& glyphs);

}  // namespace tvx
