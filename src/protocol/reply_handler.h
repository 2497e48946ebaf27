#pragma once

#include <string_view>

#include "model/tool_state.h"
#include "protocol/notices.h"

namespace tvx {

// One reply line from the serial line, CR LF included, as the line assembly hands it over.
void handle_serial_reply(ToolState& tool, Notices& notices, std::string_view line);

}  // namespace tvx
