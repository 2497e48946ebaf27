#include "protocol/send_verification.h"

#include <algorithm>

#include "protocol/command_builders.h"
#include "protocol/title_encoding.h"

namespace tvx {

std::vector<SettingDifference> compare_sent_with_read_back(const SettingsModel& sent,
                                                           const SettingsModel& read_back) {
    SettingsModel held = read_back;
    // The full send does not carry the device network settings, and the read-back does not read them.
    held.network = sent.network;
    for (int page = 0; page < kPageCount; ++page) {
        std::string& title = held.pages[static_cast<std::size_t>(page)].title;
        const std::string& sent_title = sent.pages[static_cast<std::size_t>(page)].title;
        if (title == sent_title) continue;
        const auto sent_codes = encode_title(sent_title);
        if (sent_codes && sent_codes == encode_title(title)) title = sent_title;
    }
    const auto sent_hold = build_alarm_hold_time(sent);
    if (sent_hold && sent_hold == build_alarm_hold_time(held)) held.alarm_hold_time = sent.alarm_hold_time;
    return compare_settings(sent, held);
}

std::vector<int> differing_glyph_slots(const GlyphModel& a, const GlyphModel& b, const GlyphSize& size) {
    std::vector<int> out;
    const auto& bank_a = glyph_bank(a, size);
    const auto& bank_b = glyph_bank(b, size);
    const auto digits = static_cast<std::size_t>(size.digits);
    const auto count = std::min({bank_a.size(), bank_b.size(), static_cast<std::size_t>(size.slot_count)});
    for (std::size_t slot = 0; slot < count; ++slot) {
        if (bank_a[slot].substr(0, digits) != bank_b[slot].substr(0, digits)) out.push_back(static_cast<int>(slot));
    }
    return out;
}

std::vector<SettingDifference> glyph_differences(const GlyphModel& a, const GlyphModel& b, const GlyphSize& size,
                                                 const std::vector<int>& slots) {
    std::vector<SettingDifference> out;
    const auto digits = static_cast<std::size_t>(size.digits);
    for (const int slot : slots) {
        const auto at = static_cast<std::size_t>(slot);
        out.push_back({std::string(size.name) + "外字", "No." + std::to_string(slot + 1),
                       glyph_bank(a, size)[at].substr(0, digits), glyph_bank(b, size)[at].substr(0, digits)});
    }
    return out;
}

std::vector<SettingDifference> compare_glyph_banks(const GlyphModel& registered, const GlyphModel& read_back,
                                                   const GlyphSize& size) {
    return glyph_differences(registered, read_back, size, differing_glyph_slots(registered, read_back, size));
}

}  // namespace tvx
