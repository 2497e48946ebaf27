#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// "その他": what the connector inputs are for, the page shown at power-on and the background on video
// loss. Each choice is written at once; each "設定" sends its one setting.
class OtherOptionsEditor {
  public:
    enum class Option { kConnectorInput, kPowerOnPage, kVideoLossBackground };
    static constexpr std::string_view kCaption = "その他";
    static constexpr std::string_view kTitleText = "その他の設定 ";

    OtherOptionsEditor(ToolState& tool, CommandLink& link) : tool_(tool), link_(link) {}

    void open_editor() { editor_opened(tool_); }
    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }

    static std::string_view caption(Option option);
    static std::vector<std::string> items(Option option);
    int selection(Option option) const;  // -1 for a value outside the list
    void select(Option option, int index);
    void send(Option option);

    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_slave_address(int index);

  private:
    int& field(Option option);
    int field(Option option) const;

    ToolState& tool_;
    CommandLink& link_;
};

// Page items "01" to "64" followed by the text for automatic switching (item 64).
std::vector<std::string> page_items_with_auto(std::string_view auto_text);

}  // namespace tvx
