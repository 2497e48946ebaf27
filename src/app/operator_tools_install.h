#pragma once

#include <QKeySequence>

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

class CommLog;
class MainWindow;
class SerialLink;

// Opens the communication log from any window of the tool.
inline const QKeySequence kCommLogShortcut{Qt::CTRL | Qt::Key_L};

// The communication log and the RS-485 bus scan: the log is attached to the serial link and to the TCP
// link the connection dialogs made, and both get their openers under their menu ids. The log must outlive
// both links (they call it with every line); its owner keeps it. The log's window stands on its own,
// outside the main window's family, so the dialogs that hold the main window leave it usable; it goes
// with the log. Ctrl+L opens it from any window.
void install_operator_tools(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link,
                            SerialLink* serial, CommLog& log);

}  // namespace tvx
