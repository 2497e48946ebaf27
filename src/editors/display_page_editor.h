#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// The display page editor's two choices. They are the editor's own, not the unit's settings: they live
// as long as the tool runs, survive New and are not saved in documents.
struct DisplayPageChoice {
    int display_page_selection = 0;  // 0..63 for pages 1..64, 64 automatic switching
    int page_display_switch = 1;     // 0 OFF, 1 ON
};

// "表示ページ": which page the unit displays and whether it displays pages at all.
class DisplayPageEditor {
  public:
    enum class Setting { kPage, kDisplaySwitch };
    static constexpr std::string_view kCaption = "表示ページ";
    static constexpr std::string_view kTitleText = "表示ページの設定 ";

    DisplayPageEditor(ToolState& tool, CommandLink& link, DisplayPageChoice& choice)
        : tool_(tool), link_(link), choice_(choice) {}

    void open_editor() { editor_opened(tool_); }
    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }

    static std::string_view caption(Setting setting);
    static std::vector<std::string> items(Setting setting);
    int selection(Setting setting) const;
    void select(Setting setting, int index);
    void send(Setting setting);

    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_slave_address(int index);

  private:
    ToolState& tool_;
    CommandLink& link_;
    DisplayPageChoice& choice_;
};

}  // namespace tvx
