#pragma once

#include <string>
#include <string_view>

#include "editors/editor_frame.h"
#include "model/tool_state.h"

namespace tvx {

// "機器のスレーブアドレス": picks the RS-485 address (or broadcast) that later commands go to. Sends
// nothing; its selector is always enabled, since the menu offers it only on an RS-485 line.
class SlaveAddressEditor {
  public:
    static constexpr std::string_view kCaption = "機器のスレーブアドレス";
    static constexpr std::string_view kTitleText = "スレーブアドレスの設定 ";

    explicit SlaveAddressEditor(ToolState& tool) : tool_(tool) {}

    void open_editor() { editor_opened(tool_); }
    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }
    SlaveSelector slave_address() const;
    void select_slave_address(int index);

  private:
    ToolState& tool_;
};

}  // namespace tvx
