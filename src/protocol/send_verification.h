#pragma once

#include <string_view>
#include <vector>

#include "glyphs/glyph_model.h"
#include "model/settings_compare.h"
#include "model/settings_model.h"

namespace tvx {

// What a verification lists as the unit's value of a setting it did not give back.
inline constexpr std::string_view kNotReadBack = "(読み込めませんでした)";

// Sending and then reading a unit back: what the unit holds against what was sent, in the words of the
// settings comparison. What the full send does not carry (the device network settings) is not compared.
// A value the unit only writes back in its own way is not a difference: a title or a
// hold time counts as the same when it would go to the unit as the same command line ("5" and "005").
std::vector<SettingDifference> compare_sent_with_read_back(const SettingsModel& sent,
                                                           const SettingsModel& read_back);

// Every registration number of one size whose glyph read back differs from the glyph registered
// (spare characters aside). where is the size's name ("大文字外字"), setting "No.12", the values the
// glyph texts.
std::vector<SettingDifference> compare_glyph_banks(const GlyphModel& registered, const GlyphModel& read_back,
                                                   const GlyphSize& size);

// The registration slots (0-based) of one size whose glyphs differ, spare characters aside.
std::vector<int> differing_glyph_slots(const GlyphModel& a, const GlyphModel& b, const GlyphSize& size);
// Those slots as differences, in the words of compare_glyph_banks (a's glyph, then b's).
std::vector<SettingDifference> glyph_differences(const GlyphModel& a, const GlyphModel& b, const GlyphSize& size,
                                                 const std::vector<int>& slots);

}  // namespace tvx
