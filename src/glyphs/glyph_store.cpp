#include "glyphs/glyph_store.h"

#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

std::string* current_slot_text(GlyphModel& glyphs, const GlyphSize& size) {
    auto& bank = glyph_bank(glyphs, size);
    if (glyphs.current_slot < 0 || glyphs.current_slot >= static_cast<int>(bank.size())) return nullptr;
    return &bank[static_cast<std::size_t>(glyphs.current_slot)];
}

// Makes sure a text holds at least the glyph digits, so copies never run past its end.
void hold_digits(std::string& text, const GlyphSize& size) {
    if (text.size() < static_cast<std::size_t>(size.digits))
        text.resize(static_cast<std::size_t>(size.digits), '0');
}

}  // namespace

void load_working_glyph(GlyphModel& glyphs, const GlyphSize& size) {
    std::string* slot = current_slot_text(glyphs, size);
    if (slot == nullptr) return;
    hold_digits(*slot, size);
    hold_digits(glyphs.glyph_buffer, size);
    glyphs.glyph_buffer.replace(0, static_cast<std::size_t>(size.digits), *slot, 0,
                                static_cast<std::size_t>(size.digits));
}

void store_working_glyph(GlyphModel& glyphs, const GlyphSize& size) {
    std::string* slot = current_slot_text(glyphs, size);
    if (slot == nullptr) return;
    hold_digits(*slot, size);
    hold_digits(glyphs.glyph_buffer, size);
    const auto digits = static_cast<std::size_t>(size.digits);
    if (slot->compare(0, digits, glyphs.glyph_buffer, 0, digits) == 0) return;
    slot->replace(0, digits, glyphs.glyph_buffer, 0, digits);
    set_bank_modified(glyphs, size, true);
}

bool store_glyph_data_line(GlyphModel& glyphs, const GlyphSize& size, std::string_view line) {
    const auto digits = static_cast<std::size_t>(size.digits);
    const bool whole = line.size() >= kGlyphDataOffset + digits;
    if (whole) {
        hold_digits(glyphs.glyph_buffer, size);
        std::string* slot = current_slot_text(glyphs, size);
        if (slot != nullptr) hold_digits(*slot, size);
        for (std::size_t i = 0; i < digits; ++i) {
            const char digit = normalise_glyph_digit(line[kGlyphDataOffset + i]);
            glyphs.glyph_buffer[i] = digit;
            if (slot != nullptr && (*slot)[i] != digit) {
                (*slot)[i] = digit;
                set_bank_modified(glyphs, size, true);
            }
        }
    }
    glyphs.glyph_reply_pending = 0;
    if (glyphs.bank_sequence_active != 0) {
        ++glyphs.current_slot;
    } else if (whole && glyphs.redraw_editor) {
        glyphs.redraw_editor();
    }
    return whole;
}

}  // namespace tvx
