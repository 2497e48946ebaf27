#include "protocol/send_verification.h"

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

std::vector<SettingDifference> compare_glyph_banks(const GlyphModel& registered, const GlyphModel& read_back,
                                                   const GlyphSize& size) {
    std::vector<SettingDifference> out;
    const auto& a = glyph_bank(registered, size);
    const auto& b = glyph_bank(read_back, size);
    const auto digits = static_cast<std::size_t>(size.digits);
    for (int slot = 0; slot < size.slot_count; ++slot) {
        const std::string glyph_a = a[static_cast<std::size_t>(slot)].substr(0, digits);
        const std::string glyph_b = b[static_cast<std::size_t>(slot)].substr(0, digits);
        if (glyph_a != glyph_b) {
            out.push_back(
                {std::string(size.name) + "外字", "No." + std::to_string(slot + 1), glyph_a, glyph_b});
        }
    }
    return out;
}

}  // namespace tvx
