#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editors/alarm_editor.h"
#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// "リモートの設定": the remote input's mode and the connector assignment it shares with the alarm editor.
class RemoteEditor {
  public:
    static constexpr std::string_view kCaption = "リモートの設定";
    static constexpr std::string_view kTitleText = "リモートの設定 ";

    RemoteEditor(ToolState& tool, CommandLink& link) : tool_(tool), link_(link), connectors_(tool.model) {}

    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }

    static std::vector<std::string> mode_items();  // "BINARY   ", "BIT      ", "OPERATION"
    int mode_selection() const;
    void select_mode(int index);
    void send_mode();  // "RM"

    ConnectorTable& connectors() { return connectors_; }
    void send_connectors();  // "RCA", the same pages as the alarm editor's "ACA"

    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_slave_address(int index);

  private:
    ToolState& tool_;
    CommandLink& link_;
    ConnectorTable connectors_;
};

}  // namespace tvx
