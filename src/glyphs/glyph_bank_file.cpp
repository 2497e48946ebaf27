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
