#pragma once

#include <string>
#include <string_view>

#include "glyphs/glyph_model.h"

namespace tvx {

// The four dots of one glyph digit: a character above "9" counts from "A" = 10, any other from "0";
// only the low four bits are dots, so a lower-case or foreign byte still reads as four dots.
int glyph_digit_value(char digit);

// The uppercase hexadecimal digit of the low four bits of value.
char glyph_digit_char(int value);

// The digit that a glyph text read from outside (a data line, a bank file) is stored as.
inline char normalise_glyph_digit(char digit) {
    return glyph_digit_char(glyph_digit_value(digit));
}

// Dot (x, y) of a glyph text of the given size; x and y from 0 at the top left. Dots past the end of the
// text read as dark.
bool glyph_dot(std::string_view text, const GlyphSize& size, int x, int y);

// Lights or darkens dot (x, y). Returns whether a dot changed.
bool set_glyph_dot(std::string& text, const GlyphSize& size, int x, int y, bool lit);

}  // namespace tvx
