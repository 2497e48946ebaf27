#include "model/settings_compare.h"

#include <array>
#include <span>
#include <string_view>

namespace tvx {
namespace {

// The words of the setting editors without the padding their fixed-width previews add. The editors keep
// their own padded tables; these are the plain words for lists.
using Words = std::span<const std::string_view>;

constexpr std::string_view kSizeWords[] = {"LARGE", "MEDIUM", "SMALL"};
constexpr std::string_view kPositionWords[] = {"TOP", "BOTTOM"};
constexpr std::string_view kSpeedWords[] = {"1", "2", "3", "4"};
constexpr std::string_view kOnOffWords[] = {"OFF", "ON"};
constexpr std::string_view kSwitchWords[] = {"SKIP", "LIVE"};
constexpr std::string_view kLevelWords[] = {"LOW", "HIGH"};
constexpr std::string_view kColourWords[] = {"黒",       "赤",     "緑", "黄",      "青",
                                             "マゼンタ", "シアン", "白", "ブランク"};
constexpr std::string_view kRangeWords[] = {"年月日時分秒", "年月日時分", "年月日", "月日時分秒",
                                            "月日時分",     "月日",       "時分秒", "時分"};
constexpr std::string_view kDateSizeWords[] = {"SMALL", "NORMAL"};
constexpr std::string_view kAlarmModeWords[] = {"Internal", "External"};
constexpr std::string_view kPolarityWords[] = {"Make", "Break"};
constexpr std::string_view kRemoteWords[] = {"BINARY", "BIT", "OPERATION"};
constexpr std::string_view kInputWords[] = {"ALARM", "REMOTE"};
constexpr std::string_view kVideoLossWords[] = {"Normal", "Blue"};
constexpr std::string_view kSubnetWords[] = {"Class A", "Class B", "Class C"};
constexpr std::string_view kTimeRegisterWords[] = {"1", "2", "3", "4", "5", "6"};

std::string two_digits(int n) {
    std::string text = std::to_string(n);
    return n >= 0 && n < 10 ? "0" + text : text;
}

// A value outside its list still shows which number it holds.
std::string word(Words words, int value) {
    if (value >= 0 && static_cast<std::size_t>(value) < words.size()) {
        return std::string(words[static_cast<std::size_t>(value)]);
    }
    return "? (" + std::to_string(value) + ")";
}

// Where a difference is: the page as the editors' previews name it.
std::string page_place(int page) {
    return "P" + two_digits(page + 1);
}

// A page as a value, as the editors' page selectors show it: "05", "PAS", "---".
std::string page_word(int page) {
    if (page >= 0 && page < kPageCount) return two_digits(page + 1);
    if (page == kAutoSwitchPage) return "PAS";
    if (page == kScheduleOffPage) return "---";
    return "? (" + std::to_string(page) + ")";
}

std::string offset_word(int offset) {
    return offset >= 0 && offset <= 15 ? two_digits(offset) : "? (" + std::to_string(offset) + ")";
}

std::string entry_word(const ScheduleEntry& e) {
    return two_digits(e.hour) + ":" + two_digits(e.minute) + " " + page_word(e.page);
}

struct PageOption {
    int PageSettings::*field;
    std::string_view setting;
    Words words;  // empty: the offset, shown as two digits
};

const std::array<PageOption, 10> kPageOptions{{
    {&PageSettings::char_size, "文字サイズ", kSizeWords},
    {&PageSettings::display_position, "表示位置", kPositionWords},
    {&PageSettings::display_offset, "表示位置微調整", {}},
    {&PageSettings::scroll_speed, "スクロール速度", kSpeedWords},
    {&PageSettings::blink, "文字点滅", kOnOffWords},
    {&PageSettings::auto_switch, "自動切換え", kSwitchWords},
    {&PageSettings::char_colour, "文字色", kColourWords},
    {&PageSettings::edge_colour, "縁取り色", kColourWords},
    {&PageSettings::background_fill, "背景色ベタ塗り", kOnOffWords},
    {&PageSettings::char_level, "文字レベル", kLevelWords},
}};

struct UnitOption {
    int SettingsModel::*field;
    std::string_view where;
    std::string_view setting;
    Words words;  // empty: a page number with PAS
};

const std::array<UnitOption, 11> kUnitOptions{{
    {&SettingsModel::date_display, "日付，時刻", "表示", kOnOffWords},
    {&SettingsModel::date_display_range, "日付，時刻", "表示範囲", kRangeWords},
    {&SettingsModel::date_display_size, "日付，時刻", "表示サイズ", kDateSizeWords},
    {&SettingsModel::alarm_mode, "アラーム", "モード", kAlarmModeWords},
    {&SettingsModel::alarm_polarity, "アラーム", "入力極性", kPolarityWords},
    {&SettingsModel::alarm_display, "アラーム", "表示", kOnOffWords},
    {&SettingsModel::alarm_return, "アラーム", "リターン", kOnOffWords},
    {&SettingsModel::remote_mode, "リモート", "モード", kRemoteWords},
    {&SettingsModel::connector_input, "その他", "コネクター入力", kInputWords},
    {&SettingsModel::power_on_page, "その他", "電源投入時ページ", {}},
    {&SettingsModel::video_loss_background, "その他", "ビデオロス背景色", kVideoLossWords},
}};

struct NetworkOption {
    int NetworkSettings::*field;
    std::string_view setting;
    Words words;
};

const std::array<NetworkOption, 4> kNetworkOptions{{
    {&NetworkSettings::subnet_class, "Subnet Mask", kSubnetWords},
    {&NetworkSettings::connection_try, "Connection Try", kOnOffWords},
    {&NetworkSettings::keep_alive, "Keep Alive", kOnOffWords},
    {&NetworkSettings::time_register, "Time Register", kTimeRegisterWords},
}};

// Every saved setting of a against b, or (every false) only those that differ.
std::vector<SettingDifference> walk_settings(const SettingsModel& a, const SettingsModel& b, bool every) {
    std::vector<SettingDifference> out;
    auto add = [&out](std::string where, std::string_view setting, std::string va, std::string vb) {
        out.push_back({std::move(where), std::string(setting), std::move(va), std::move(vb), false});
    };

    for (int p = 0; p < kPageCount; ++p) {
        const PageSettings& pa = a.pages[static_cast<std::size_t>(p)];
        const PageSettings& pb = b.pages[static_cast<std::size_t>(p)];
        const std::string where = page_place(p);
        if (every || pa.title != pb.title) out.push_back({where, "タイトル", pa.title, pb.title, true});
        for (const PageOption& option : kPageOptions) {
            const int va = pa.*option.field;
            const int vb = pb.*option.field;
            if (va == vb && !every) continue;
            if (option.words.empty()) {
                add(where, option.setting, offset_word(va), offset_word(vb));
            } else {
                add(where, option.setting, word(option.words, va), word(option.words, vb));
            }
        }
    }

    for (int d = 0; d < kScheduleDays; ++d) {
        for (int e = 0; e < kScheduleEntries; ++e) {
            const ScheduleEntry& ea = a.schedule[static_cast<std::size_t>(d)][static_cast<std::size_t>(e)];
            const ScheduleEntry& eb = b.schedule[static_cast<std::size_t>(d)][static_cast<std::size_t>(e)];
            if (ea.hour == eb.hour && ea.minute == eb.minute && ea.page == eb.page && !every) continue;
            add(std::to_string(d + 1) + "日", "パターン " + two_digits(e + 1), entry_word(ea),
                entry_word(eb));
        }
    }

    for (const UnitOption& option : kUnitOptions) {
        const int va = a.*option.field;
        const int vb = b.*option.field;
        if (va == vb && !every) continue;
        if (option.words.empty()) {
            add(std::string(option.where), option.setting, page_word(va), page_word(vb));
        } else {
            add(std::string(option.where), option.setting, word(option.words, va), word(option.words, vb));
        }
    }
    // The hold time is text as typed, Shift JIS like the titles.
    if (every || a.alarm_hold_time != b.alarm_hold_time)
        out.push_back({"アラーム", "保持時間", a.alarm_hold_time, b.alarm_hold_time, true});
    for (int c = 0; c < kConnectorCount; ++c) {
        const int va = a.connector_pages[static_cast<std::size_t>(c)];
        const int vb = b.connector_pages[static_cast<std::size_t>(c)];
        if (every || va != vb) add("アラーム", "No." + std::to_string(c + 1), page_word(va), page_word(vb));
    }
    for (const NetworkOption& option : kNetworkOptions) {
        const int va = a.network.*option.field;
        const int vb = b.network.*option.field;
        if (every || va != vb) add("ネットワーク", option.setting, word(option.words, va), word(option.words, vb));
    }
    return out;
}

}  // namespace

std::vector<SettingDifference> compare_settings(const SettingsModel& a, const SettingsModel& b) {
    return walk_settings(a, b, false);
}

std::vector<SettingDifference> list_settings(const SettingsModel& model) {
    return walk_settings(model, model, true);
}

}  // namespace tvx
