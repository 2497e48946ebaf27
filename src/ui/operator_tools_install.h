#pragma once

#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/notices.h"

namespace tvx {

class MainWindow;
class SerialLink;

// The communication log and the RS-485 bus scan: the log is attached to the serial link and to the TCP
// link the connection dialogs made, and both get their openers under their menu ids.
void install_operator_tools(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link,
                            SerialLink* serial);

}  // namespace tvx
