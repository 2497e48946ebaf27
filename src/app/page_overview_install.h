#pragma once

#include "model/tool_state.h"

namespace tvx {

class MainWindow;

// The page overview under its menu and toolbar id, and the memory of the last comparison it marks pages
// from (a child of the main window, which every comparison window finds through its owner).
void install_page_overview(MainWindow& window, ToolState& tool);

}  // namespace tvx
