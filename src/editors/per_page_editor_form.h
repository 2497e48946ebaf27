#pragma once

#include <array>
#include <span>
#include <string_view>

#include "model/settings_model.h"
#include "protocol/command_set.h"

namespace tvx {

// The nine per-page setting editors differ only in what this table says: the field they edit, the item
// and preview texts, the command and the captions. One controller and one dialog serve them all.

enum class PerPageMember {
    kCharSize,
    kDisplayPosition,
    kDisplayOffset,
    kScrollSpeed,
    kBlink,
    kAutoSwitch,
    kCharColour,
    kBackgroundFill,
    kCharLevel,
};

// One per-page value with its selector and its all-pages selector. The value stored is the position of
// the item chosen.
struct PerPageValue {
    int PageSettings::*field;
    int EditorMemory::*memory;
    std::span<const std::string_view> items;  // both selectors
    std::span<const std::string_view> words;  // the preview's text of each value
    std::string_view unknown_word;            // the preview's text of a value outside the list
    std::string_view caption;                 // group caption of the value selector
    std::string_view all_caption;             // group caption of the all-pages selector
};

enum class PreviewLayout {
    kPageColumns,  // 32 pages in four columns of eight: "P05 MEDIUM"
    kColourRows,   // 8 pages, two colours each, under a header: "Page 01 = 白　　　　黒　　　　"
};

struct PerPageEditorForm {
    PerPageMember member;
    std::string_view caption;     // the dialog's own caption
    std::string_view title_text;  // window title before the selected TCP unit's address
    PageCommand command;
    std::array<PerPageValue, 2> values;
    int value_count;      // 2 only for the colours
    bool gap_after_page;  // "P05 MEDIUM", or "P05 = HIGH" whose word brings its own spaces
    std::string_view page_button;
    PreviewLayout layout;
};

std::span<const PerPageEditorForm> per_page_forms();
const PerPageEditorForm& per_page_form(PerPageMember member);

// The colour list shared by every colour selector, and the preview's padded words.
std::span<const std::string_view> colour_items();
inline constexpr std::string_view kColourPreviewHeader = "文字色　　縁取り色";

}  // namespace tvx
