#pragma once

#include <string>

#include "ui/read_back_dialog.h"

namespace tvx {

// "全項目の設定": the whole model to one unit, or on RS-485 by broadcast to all.
UnitSequenceDialog* make_full_send_dialog(ToolState& tool, CommandLink& link, Notices& notices,
                                          const std::string& selected_address, QWidget* owner);

}  // namespace tvx
