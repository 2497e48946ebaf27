#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

// Position of the digit that holds dot (x, y), and the bit of the dot within it.
bool locate(const GlyphSize& size, int x, int y, std::size_t& digit, int& bit) {
    if (x < 0 || y < 0 || x >= size.dots || y >= size.dots) return false;
    digit = static_cast<std::size_t>(y * size.digits_per_row + x / 4);
    bit = 8 >> (x % 4);
    return true;
}

}  // namespace

int glyph_digit_value(char digit) {
    const int code = static_cast<unsigned char>(digit);
    return (code > '9' ? code - 55 : code - 48) & 0x0F;
}

char glyph_digit_char(int value) {
    value &= 0x0F;
    return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10);
}

bool glyph_dot(std::string_view text, const GlyphSize& size, int x, int y) {
    std::size_t digit = 0;
    int bit = 0;
    if (!locate(size, x, y, digit, bit) || digit >= text.size()) return false;
    return (glyph_digit_value(text[digit]) & bit) != 0;
}

bool set_glyph_dot(std::string& text, const GlyphSize& size, int x, int y, bool lit) {
    std::size_t digit = 0;
    int bit = 0;
    if (!locate(size, x, y, digit, bit) || digit >= text.size()) return false;
    const int before = glyph_digit_value(text[digit]);
    const int after = lit ? before | bit : before & ~bit;
    text[digit] = glyph_digit_char(after);
    return after != before;
}

}  // namespace tvx
