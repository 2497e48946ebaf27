#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/tool_state.h"

namespace tvx {

// What every dialog that talks to the unit shares: the slave address selector, the hidden-entry reset
// on opening and the window title that names the selected TCP unit.

// "00" to "31", then "Bloadcast" (item 32).
std::vector<std::string> slave_address_items();

struct SlaveSelector {
    bool enabled = false;
    int selected = -1;  // -1: no selection
};

// Enabled and preselected only on a serial RS-485 line; otherwise disabled and without a selection.
SlaveSelector slave_selector(const ToolState& tool);

// Opening an editor resets the main window's hidden-entry counter.
void editor_opened(ToolState& tool);

// The dialog's caption, or, while a TCP unit is selected (select_number not -1), the editor's title text
// followed by that unit's address.
std::string editor_window_title(const ToolState& tool, std::string_view caption, std::string_view title_text,
                                std::string_view selected_address);

}  // namespace tvx
