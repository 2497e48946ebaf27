#pragma once

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

class MainWindow;

// Registers the setting editors under their menu ids (the toolbar buttons follow): the per-page
// family, date and time, schedule, alarm, remote, other options, display page, slave address and the
// unit's network settings. Commands go out through link.
void install_setting_editors(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link);

}  // namespace tvx
