#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// The computer's local date and time, read once when the editor opens.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "日付＆時刻の設定": the unit's clock, field by field, the three options of the date and time line, and
// the 30-second correction. The clock selections are the editor's own; the line options are model
// fields written at once. Each "設定" sends its one line.
class DateTimeEditor {
  public:
    enum class ClockField { kYear, kMonth, kDay, kHour, kMinute, kSecond };
    enum class LineOption { kRange, kDisplay, kSize };
    static constexpr std::string_view kCaption = "日付＆時刻の設定";
    static constexpr std::string_view kTitleText = "日付，時刻の設定 ";
    static constexpr int kFirstYear = 2000;

    DateTimeEditor(ToolState& tool, CommandLink& link) : tool_(tool), link_(link) {}

    // Preselects the clock selectors from now. A year outside 2000..2099 has no item: the year stays
    // unselected and its button sends nothing until the operator picks one.
    void open_editor(const LocalDateTime& now);
    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }

    static std::string_view caption(ClockField field);
    static std::vector<std::string> items(ClockField field);
    int selection(ClockField field) const { return clock_[static_cast<std::size_t>(field)]; }
    void select(ClockField field, int index);
    // False when nothing was sent (no selection).
    bool send(ClockField field);

    static std::string_view caption(LineOption option);
    static std::vector<std::string> items(LineOption option);
    int selection(LineOption option) const;
    void select(LineOption option, int index);
    void send(LineOption option);

    void send_correction();  // "TSA"

    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_slave_address(int index);

  private:
    int& field(LineOption option);
    int field(LineOption option) const;

    ToolState& tool_;
    CommandLink& link_;
    std::array<int, 6> clock_{-1, -1, -1, -1, -1, -1};
};

}  // namespace tvx
