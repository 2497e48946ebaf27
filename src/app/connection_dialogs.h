#pragma once

#include "config/notices.h"
#include "link/tcp_link.h"
#include "model/tool_state.h"

namespace tvx {

class MainWindow;

// Makes the TCP link (it lives as long as the window) and registers the "インターフェイス" menu's
// four dialogs: interface, serial line, client/server and the TCP dialog of the chosen role.
TcpLink* install_connection_dialogs(MainWindow& window, ToolState& tool, Notices& notices);

}  // namespace tvx
