#pragma once

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

class MainWindow;

// Registers the glyph tools under their menu ids: the three glyph lists (外字一覧, which open the glyph
// editor of their size) and the glyph insertion dialog (外字挿入).
void install_glyph_dialogs(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link);

}  // namespace tvx
