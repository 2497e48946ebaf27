#include "glyphs/glyph_model.h"

namespace tvx {

GlyphModel::GlyphModel() {
    reset_glyphs(*this);
}

void reset_glyphs(GlyphModel& glyphs) {
    glyphs.large_bank.assign(kLarge.slot_count, std::string(kLarge.text_length, '0'));
    glyphs.medium_bank.assign(kMedium.slot_count, std::string(kMedium.text_length, '0'));
    glyphs.small_bank.assign(kSmall.slot_count, std::string(kSmall.text_length, '0'));
    glyphs.glyph_buffer.assign(kGlyphBufferLength, '0');
    glyphs.current_slot = 0;
    glyphs.glyph_reply_pending = 0;
    glyphs.bank_modified.fill(0);
}

std::vector<std::string>& glyph_bank(GlyphModel& glyphs, const GlyphSize& size) {
    switch (size.index) {
        case 0:
            return glyphs.large_bank;
        case 1:
            return glyphs.medium_bank;
        default:
            return glyphs.small_bank;
    }
}

const std::vector<std::string>& glyph_bank(const GlyphModel& glyphs, const GlyphSize& size) {
    return glyph_bank(const_cast<GlyphModel&>(glyphs), size);
}

bool bank_modified(const GlyphModel& glyphs, const GlyphSize& size) {
    return glyphs.bank_modified[static_cast<std::size_t>(size.index)] != 0;
}

void set_bank_modified(GlyphModel& glyphs, const GlyphSize& size, bool modified) {
    glyphs.bank_modified[static_cast<std::size_t>(size.index)] = modified ? 1 : 0;
}

std::vector<const GlyphSize*> unsaved_banks(const GlyphModel& glyphs) {
    std::vector<const GlyphSize*> sizes;
    for (const GlyphSize* size : kGlyphSizes) {
        if (bank_modified(glyphs, *size)) sizes.push_back(size);
    }
    return sizes;
}

}  // namespace tvx
