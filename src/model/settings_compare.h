#pragma once

#include <string>
#include <vector>

#include "model/settings_model.h"

namespace tvx {

// One setting that differs between two sets of settings, in the words the editors show (a page as the
// page selectors show it: "05", "PAS", "---").
struct SettingDifference {
    std::string where;  // "P05", "1日", or the group of a unit-wide setting ("アラーム", "その他"...)
    std::string setting;  // "文字サイズ", "パターン 03", "No.2"...
    std::string value_a;
    std::string value_b;
    // Titles and the hold time are Shift JIS bytes as stored; every other text here is UTF-8.
    bool values_are_shift_jis = false;
};

// Every saved setting of a that differs from b: pages in page order (title first, then the per-page
// options), the schedule by day and pattern, then the unit-wide settings. What a settings document does
// not keep (editor memory, run state, addresses read from the unit) is not compared.
std::vector<SettingDifference> compare_settings(const SettingsModel& a, const SettingsModel& b);

// Every saved setting of model, in the same order and words, its value in both value_a and value_b.
std::vector<SettingDifference> list_settings(const SettingsModel& model);

}  // namespace tvx
