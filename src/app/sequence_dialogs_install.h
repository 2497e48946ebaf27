#pragma once

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

class MainWindow;

// Registers the title editor (menu and toolbar), the full settings send and the read-back dialog (menu
// and hidden entry) under their menu ids. Commands go out through link.
void install_sequence_dialogs(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link);

}  // namespace tvx
