#include "editors/per_page_editor_form.h"

namespace tvx {
namespace {

using Texts = std::string_view;

constexpr Texts kSizeItems[] = {"LARGE ", "MEDIUM", "SMALL "};
constexpr Texts kSizeWords[] = {"LARGE   ", "MEDIUM", "SMALL   "};
constexpr Texts kPositionItems[] = {"TOP   ", "BOTTOM"};
constexpr Texts kPositionWords[] = {"TOP      ", "BOTTOM"};
constexpr Texts kOffsetItems[] = {"00", "01", "02", "03", "04", "05", "06", "07",
                                  "08", "09", "10", "11", "12", "13", "14", "15"};
constexpr Texts kSpeedItems[] = {"1", "2", "3", "4"};
constexpr Texts kSpeedWords[] = {"1 ", "2 ", "3 ", "4 "};
constexpr Texts kOnOffItems[] = {"OFF", "ON "};
constexpr Texts kSwitchItems[] = {"SKIP", "LIVE"};
constexpr Texts kSwitchWords[] = {"SKIP ", "LIVE "};
constexpr Texts kLevelItems[] = {"LOW ", "HIGH"};
constexpr Texts kLevelWords[] = {" = LOW  ", " = HIGH"};
constexpr Texts kColourItems[] = {"黒", "赤", "緑", "黄", "青", "マゼンタ", "シアン", "白", "ブランク"};
constexpr Texts kColourWords[] = {"黒　　　　", "赤　　　　", "緑　　　　", "黄　　　　", "青　　　　",
                                  "マゼンタ　", "シアン　　", "白　　　　", "ブランク　"};

constexpr PerPageValue kNoValue{nullptr, nullptr, {}, {}, {}, {}, {}};

// Rows in the order of the menu.
const std::array<PerPageEditorForm, 9> kForms{{
    {PerPageMember::kCharSize,
     "文字サイズ",
     "文字サイズの設定 ",
     PageCommand::CFS,
     {{{&PageSettings::char_size, &EditorMemory::all_char_size, kSizeItems, kSizeWords, "?       ", "サイズ",
        "全ページ同サイズ"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kDisplayPosition,
     "表示位置",
     "表示位置の設定 ",
     PageCommand::IDP,
     {{{&PageSettings::display_position, &EditorMemory::all_display_position, kPositionItems, kPositionWords,
        "?        ", "表示位置", "全ページ同設定"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kDisplayOffset,
     "表示位置微調整",
     "表示位置微調整 ",
     PageCommand::IDO,
     {{{&PageSettings::display_offset, &EditorMemory::all_display_offset, kOffsetItems, kOffsetItems, "??",
        "オフセット", "全ページ同設定"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kScrollSpeed,
     "スクロール速度",
     "スクロール速度の設定 ",
     PageCommand::ISS,
     {{{&PageSettings::scroll_speed, &EditorMemory::all_scroll_speed, kSpeedItems, kSpeedWords, "? ", "速度",
        "全ページ同設定"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kBlink,
     "点滅",
     "文字点滅の設定 ",
     PageCommand::CBS,
     {{{&PageSettings::blink, &EditorMemory::all_blink, kOnOffItems, kOnOffItems, "?  ", "点滅ON/OFF",
        "全ページ同設定"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kAutoSwitch,
     "自動切換えの設定",
     "自動切換えの設定 ",
     PageCommand::PAS,
     {{{&PageSettings::auto_switch, &EditorMemory::all_auto_switch, kSwitchItems, kSwitchWords, "?    ",
        "自動切換え", "全ページ同設定"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kCharColour,
     "文字色の設定",
     "文字＆縁取り色の設定 ",
     PageCommand::CABC,
     {{{&PageSettings::char_colour, &EditorMemory::all_char_colour, kColourItems, kColourWords, "？　　　　",
        "文字色", "全ページ同文字色"},
       {&PageSettings::edge_colour, &EditorMemory::all_edge_colour, kColourItems, kColourWords, "？　　　　",
        "縁取り色", "全ページ同縁取り色"}}},
     2,
     true,
     "ページ設定",
     PreviewLayout::kColourRows},
    {PerPageMember::kBackgroundFill,
     "背景色ベタ塗りの設定",
     "背景色ベタ塗りの設定 ",
     PageCommand::FB,
     {{{&PageSettings::background_fill, &EditorMemory::all_background_fill, kOnOffItems, kOnOffItems, "?  ",
        "背景色ベタ塗り", "全ページ同設定"},
       kNoValue}},
     1,
     true,
     "ページ設定",
     PreviewLayout::kPageColumns},
    {PerPageMember::kCharLevel,
     "文字レベルの設定",
     "文字レベルの設定 ",
     PageCommand::CWL,
     {{{&PageSettings::char_level, &EditorMemory::all_char_level, kLevelItems, kLevelWords, " = ?   ",
        "文字レベル", "同文字レベル"},
       kNoValue}},
     1,
     false,
     "設定",
     PreviewLayout::kPageColumns},
}};

}  // namespace

std::span<const PerPageEditorForm> per_page_forms() {
    return kForms;
}

const PerPageEditorForm& per_page_form(PerPageMember member) {
    for (const PerPageEditorForm& form : kForms) {
        if (form.member == member) return form;
    }
    return kForms.front();
}

std::span<const std::string_view> colour_items() {
    return kColourItems;
}

}  // namespace tvx
