#include "glyphs/size_conversion.h"

#include <array>

#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

constexpr int kGridRows = 96;
constexpr int kGridPositions = 24;
using Supergrid = std::array<std::array<char, kGridPositions>, kGridRows>;

// How many grid rows (and positions) one row (digit) of a size covers: 2 large, 3 medium, 4 small.
int grid_factor(const GlyphSize& size) {
    return kGridRows / size.dots;
}

// Where a target digit is sampled within the block of grid positions that belongs to it.
int sample_offset(const GlyphSize& size) {
    return size.index == kLarge.index ? 0 : 1;
}

char digit_at(std::string_view text, std::size_t i) {
    return i < text.size() ? normalise_glyph_digit(text[i]) : '0';
}

Supergrid build_supergrid(std::string_view source, const GlyphSize& from) {
    Supergrid grid{};
    const int f = grid_factor(from);
    for (int r = 0; r < from.dots; ++r) {
        for (int p = 0; p < from.digits_per_row; ++p) {
            const char digit = digit_at(source, static_cast<std::size_t>(r * from.digits_per_row + p));
            for (int dr = 0; dr < f; ++dr) {
                for (int dp = 0; dp < f; ++dp)
                    grid[static_cast<std::size_t>(f * r + dr)][static_cast<std::size_t>(f * p + dp)] = digit;
            }
        }
    }
    return grid;
}

char with_value(char digit, int clear_bits) {
    return glyph_digit_char(glyph_digit_value(digit) & ~clear_bits);
}

// Positions whose sample always repeats the one before: there only a fully lit group is kept.
bool repeat_position(const GlyphSize& from, const GlyphSize& to, int p) {
    if (from.index == kMedium.index && to.index == kLarge.index) return p % 3 == 1;  // 1, 4, 7, 10
    if (from.index == kSmall.index && to.index == kMedium.index) return p == 2 || p == 6;
    return false;
}

// Edge margin: the rightmost dot of a row's last digit, and (except large to small) the leftmost dot of
// its first digit, are cleared.
char edge_margin(char digit, int p, int digits_per_row, bool clear_left) {
    if (p == digits_per_row - 1) digit = with_value(digit, 1);
    if (p == 0 && clear_left) digit = with_value(digit, 8);
    return digit;
}

void hold_digits(std::string& text, const GlyphSize& size) {
    if (text.size() < static_cast<std::size_t>(size.digits))
        text.resize(static_cast<std::size_t>(size.digits), '0');
}

void convert_small_to_large(std::string_view source, std::string& target) {
    const int d = kLarge.digits_per_row;
    for (int r = 0; r < kLarge.dots - 1; ++r) {
        const int small_row = r / 2;
        for (int p = 0; p < kSmall.digits_per_row; ++p) {
            const std::string_view pair = small_to_large_pair(
                digit_at(source, static_cast<std::size_t>(small_row * kSmall.digits_per_row + p)));
            for (int half = 0; half < 2; ++half) {
                const int q = 2 * p + half;
                target[static_cast<std::size_t>(r * d + q)] =
                    edge_margin(pair[static_cast<std::size_t>(half)], q, d, true);
            }
        }
    }
}

}  // namespace

std::string_view small_to_large_pair(char small_digit) {
    static constexpr std::array<std::string_view, 16> kPairs{"00", "18", "3C", "3C", "7E", "7E", "7E", "7E",
                                                             "18", "19", "1A", "1B", "1C", "1D", "FF", "FF"};
    return kPairs[static_cast<std::size_t>(glyph_digit_value(small_digit))];
}

void convert_glyph_size(std::string_view source, const GlyphSize& from, std::string& target,
                        const GlyphSize& to) {
    hold_digits(target, to);
    if (from.index == kSmall.index && to.index == kLarge.index) {
        convert_small_to_large(source, target);
        return;
    }
    if (from.index == to.index) {
        const auto rows = static_cast<std::size_t>((to.dots - 1) * to.digits_per_row);
        for (std::size_t i = 0; i < rows; ++i) target[i] = digit_at(source, i);
        return;
    }

    const Supergrid grid = build_supergrid(source, from);
    const int g = grid_factor(to);
    const int offset = sample_offset(to);
    const bool fallback = from.index == kLarge.index && to.index == kMedium.index;
    const bool clear_left = !(from.index == kLarge.index && to.index == kSmall.index);
    const int d = to.digits_per_row;
    for (int r = 0; r < to.dots - 1; ++r) {
        const auto& row = grid[static_cast<std::size_t>(g * r)];
        for (int p = 0; p < d; ++p) {
            char digit = row[static_cast<std::size_t>(g * p + offset)];
            // A stroke that lies only in a source digit the sampling drops survives through its neighbour.
            if (fallback && digit == '0') digit = row[static_cast<std::size_t>(g * p)];
            if (repeat_position(from, to, p) && digit != 'F') digit = '0';
            target[static_cast<std::size_t>(r * d + p)] = edge_margin(digit, p, d, clear_left);
        }
    }
}

void make_other_sizes(GlyphModel& glyphs, const GlyphSize& source_size) {
    const std::string source = glyphs.glyph_buffer.substr(0, static_cast<std::size_t>(source_size.digits));
    const int slot = glyphs.current_slot;
    // The order of the targets is the tool's own: small first, then the remaining one.
    const GlyphSize* order[] = {&kSmall, &kMedium, &kLarge};
    if (source_size.index == kSmall.index) {
        order[0] = &kLarge;
        order[2] = &kSmall;
    }
    for (const GlyphSize* target : order) {
        if (target->index == source_size.index || slot < 0 || slot >= target->slot_count) continue;
        std::string& text = glyph_bank(glyphs, *target)[static_cast<std::size_t>(slot)];
        const std::string before = text;
        convert_glyph_size(source, source_size, text, *target);
        if (text != before) set_bank_modified(glyphs, *target, true);
    }
}

bool create_other_sizes(GlyphModel& glyphs, const GlyphSize& source_size, Notices& notices) {
    if (!notices.confirm_make_other_sizes()) return false;
    make_other_sizes(glyphs, source_size);
    return true;
}

}  // namespace tvx
