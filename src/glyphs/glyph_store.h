#pragma once

#include <string_view>

#include "glyphs/glyph_model.h"

namespace tvx {

// Copies the glyph digits of slot current_slot into the start of glyph_buffer (the rest of the buffer
// stays). A slot index outside the size's bank leaves the buffer as it is.
void load_working_glyph(GlyphModel& glyphs, const GlyphSize& size);

// Copies the glyph digits at the start of glyph_buffer into slot current_slot; a change marks the bank
// modified.
void store_working_glyph(GlyphModel& glyphs, const GlyphSize& size);

// A bitmap data line from the unit ("FBML", "FBMM", "FBMS", then four characters echoing the code, then
// the glyph digits). The digits go into glyph_buffer and slot current_slot, each as the uppercase digit
// of its low four bits (a changed slot marks the bank modified); a line too short to hold a whole glyph
// stores nothing. Then, while a bank sequence runs, current_slot moves on to the next slot (also past a
// line that stored nothing, so a read-all never asks for the same slot forever); otherwise the open
// editor is asked to redraw. Returns whether the glyph was stored.
bool store_glyph_data_line(GlyphModel& glyphs, const GlyphSize& size, std::string_view line);

// Where the glyph digits start in a bitmap data line.
inline constexpr std::size_t kGlyphDataOffset = 8;

}  // namespace tvx
