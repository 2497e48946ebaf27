#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// The connector-to-page table that the alarm and the remote editors share: both show and change the
// same eight entries of connector_pages.
class ConnectorTable {
  public:
    explicit ConnectorTable(SettingsModel& model) : model_(model) {}

    static std::string label(int connector);  // "No.1" to "No.8"
    static std::vector<std::string> items();  // "01" to "64"
    int selection(int connector) const;       // -1 outside the pages
    void select(int connector, int index);

  private:
    SettingsModel& model_;
};

// "アラームの設定": the alarm input's mode, hold time, polarity, display and return, and the connector
// assignment. Every choice is written at once; each "設定" sends its one setting.
class AlarmEditor {
  public:
    enum class Setting { kMode, kPolarity, kDisplay, kReturn };
    static constexpr std::string_view kCaption = "アラームの設定";
    static constexpr std::string_view kTitleText = "アラームの設定 ";
    static constexpr int kHoldTimeLength = 3;

    AlarmEditor(ToolState& tool, CommandLink& link, Notices& notices)
        : tool_(tool), link_(link), notices_(notices), connectors_(tool.model) {}

    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }

    static std::string_view caption(Setting setting);
    static std::vector<std::string> items(Setting setting);
    int selection(Setting setting) const;
    void select(Setting setting, int index);
    void send(Setting setting);

    // The hold time as typed (Shift JIS), at most three characters, written at every change.
    const std::string& hold_time() const { return tool_.model.alarm_hold_time; }
    void set_hold_time(std::string_view text);
    // "ADT" with the leading digits in three places; below 3 seconds "3秒以上を設定してください。" and
    // nothing is sent. The text itself stays as typed.
    bool send_hold_time();

    ConnectorTable& connectors() { return connectors_; }
    void send_connectors();  // "ACA"

    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_slave_address(int index);

  private:
    int& field(Setting setting);
    int field(Setting setting) const;

    ToolState& tool_;
    CommandLink& link_;
    Notices& notices_;
    ConnectorTable connectors_;
};

}  // namespace tvx
