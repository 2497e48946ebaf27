#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editors/editor_frame.h"
#include "editors/glyph_editor_memory.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

inline constexpr std::string_view kGlyphInsertCaption = "外字挿入";
inline constexpr std::string_view kGlyphInsertTitlePrefix = "外字挿入の設定 ";

// 外字挿入: places a registered glyph into a page's title on the unit with one "G" line. The size only
// bounds the registration numbers and insert positions offered; the model's titles are not touched.
class GlyphInsertController {
  public:
    GlyphInsertController(ToolState& tool, CommandLink& link, GlyphEditorMemory& memory)
        : tool_(tool), link_(link), memory_(memory) {}

    // Resets the hidden-entry count and brings a glyph number or insert position beyond the chosen
    // size's range to the first entry, so that 設定 sends what the dialog shows.
    void open();
    std::string window_title(std::string_view selected_address) const;

    static std::vector<std::string> page_items();     // "01" to "64"
    static std::vector<std::string> size_items();     // 大, 中, 小
    std::vector<std::string> number_items() const;    // "001" to "070" / "160" / "256"
    std::vector<std::string> position_items() const;  // "001" to "112" / "168" / "224"

    // Selections to show; -1 for none (a value beyond the size's range before open()).
    int page_selection() const;
    int size_selection() const;
    int number_selection() const;
    int position_selection() const;
    SlaveSelector slave_address() const { return slave_selector(tool_); }

    void select_page(int index);
    void select_number(int index);
    void select_position(int index);
    void select_slave_address(int index);
    // A new size refills the number and position lists (true); a number or position beyond the new
    // range goes back to the first entry. Choosing the size already chosen changes nothing (false).
    bool select_size(int index);

    // 設定: "G" number "P" page "I" position, as selected.
    void send();

  private:
    int number_count() const;
    int position_count() const;

    ToolState& tool_;
    CommandLink& link_;
    GlyphEditorMemory& memory_;
};

}  // namespace tvx
