#include "glyphs/glyph_bank_file.h"

#include "config/safe_file.h"
#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

bool is_blank(char c) {
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

}  // namespace

std::string bank_file_text(const GlyphModel& glyphs, const GlyphSize& size) {
    const auto& bank = glyph_bank(glyphs, size);
    std::string out;
    out.reserve(static_cast<std::size_t>(size.slot_count * size.digits * 3));
    for (int s = 0; s < size.slot_count; ++s) {
        const std::string& slot = bank[static_cast<std::size_t>(s)];
        for (int d = 0; d < size.digits; ++d) {
            const auto i = static_cast<std::size_t>(d);
            out += i < slot.size() ? normalise_glyph_digit(slot[i]) : '0';
            out += "\r\n";
        }
    }
    return out;
}

void read_bank_text(GlyphModel& glyphs, const GlyphSize& size, std::string_view text) {
    auto& bank = glyph_bank(glyphs, size);
    std::size_t pos = 0;
    for (int s = 0; s < size.slot_count; ++s) {
        std::string& slot = bank[static_cast<std::size_t>(s)];
        if (slot.size() < static_cast<std::size_t>(size.digits))
            slot.resize(static_cast<std::size_t>(size.digits), '0');
        for (int d = 0; d < size.digits; ++d) {
            while (pos < text.size() && is_blank(text[pos])) ++pos;
            if (pos >= text.size()) return;
            slot[static_cast<std::size_t>(d)] = normalise_glyph_digit(text[pos++]);
        }
    }
}

std::optional<std::string> read_bank_text_strict(GlyphModel& glyphs, const GlyphSize& size,
                                                 std::string_view text) {
    const auto is_hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    const auto digit_count = static_cast<std::size_t>(size.slot_count) * static_cast<std::size_t>(size.digits);
    std::string digits;
    digits.reserve(digit_count);
    int line = 1;
    for (const char c : text) {
        if (c == '\n') ++line;
        if (is_blank(c)) continue;
        if (digits.size() == digit_count) {
            return "line " + std::to_string(line) + ": more than the " + std::to_string(digit_count) +
                   " digits of a bank of " + std::string(size.extension) + " glyphs";
        }
        if (!is_hex(c)) return "line " + std::to_string(line) + ": not a hexadecimal digit";
        digits += normalise_glyph_digit(c);
    }
    if (digits.size() < digit_count) {
        return "only " + std::to_string(digits.size()) + " of the " + std::to_string(digit_count) +
               " digits of a bank of " + std::string(size.extension) + " glyphs";
    }
    auto& bank = glyph_bank(glyphs, size);
    for (int s = 0; s < size.slot_count; ++s) {
        std::string& slot = bank[static_cast<std::size_t>(s)];
        if (slot.size() < static_cast<std::size_t>(size.digits))
            slot.resize(static_cast<std::size_t>(size.digits), '0');
        slot.replace(0, static_cast<std::size_t>(size.digits), digits, static_cast<std::size_t>(s * size.digits),
                     static_cast<std::size_t>(size.digits));
    }
    return std::nullopt;
}

bool write_bank_file(ToolState& tool, const GlyphSize& size, const std::filesystem::path& path) {
    return write_file_replacing(path, bank_file_text(tool.glyphs, size));
}

bool read_bank_file(ToolState& tool, const GlyphSize& size, const std::filesystem::path& path) {
    std::string text;
    if (!read_whole_file(path, text)) return false;
    read_bank_text(tool.glyphs, size, text);
    return true;
}

}  // namespace tvx
