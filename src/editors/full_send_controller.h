#pragma once

#include <memory>
#include <string_view>

#include "editors/read_back_controller.h"

namespace tvx {

inline constexpr std::string_view kFullSendCaption = "全項目の設定";

// "全項目の設定": the full settings send, to one unit or, on RS-485, to all units by broadcast.
std::unique_ptr<UnitSequenceController> make_full_send_controller(ToolState& tool, CommandLink& link,
                                                                  Notices& notices);

}  // namespace tvx
