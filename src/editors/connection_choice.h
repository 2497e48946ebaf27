#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/link_dispatch.h"
#include "model/tool_state.h"

namespace tvx {

// Every connection dialog resets the hidden-entry counter when it opens.
void connection_dialog_opened(ToolState& tool);

// One list of a connection dialog that edits one configuration field: the item's position is the value,
// and picking an item writes its key at once. The interface and client/server lists are frozen while a
// TCP connection is marked connected.
class ConnectionChoice {
  public:
    struct Definition {
        std::string_view key;            // INI key written on each change
        std::vector<std::string> items;  // in value order
        int Configuration::*field;       // the configuration field edited
        bool frozen_while_connected = false;
    };

    // connection may be null for lists that never freeze.
    ConnectionChoice(ToolState& tool, const TcpSender* connection, Definition definition);

    const std::vector<std::string>& items() const { return definition_.items; }
    bool enabled() const;
    // The row to show selected; -1 (none) while the list is frozen.
    int selection() const;
    // The operator picked row: the field and its key change at once. Refused while frozen.
    void choose(int row);

  private:
    ToolState& tool_;
    const TcpSender* connection_;
    Definition definition_;
};

// "Interface": "RS-232C/485" (0), "TCP/IP" (1).
ConnectionChoice interface_choice(ToolState& tool, const TcpSender& connection);
// "com_port": "COM 1" to "COM 6".
ConnectionChoice com_port_choice(ToolState& tool);
// "rs_control": "RS-232C", "RS-485".
ConnectionChoice rs_control_choice(ToolState& tool);
// "ClientServer": "Client" (0), "Server" (1).
ConnectionChoice client_server_choice(ToolState& tool, const TcpSender& connection);
// "pace": "標準" (0), "高速" (1); a choice for the next sequence, never frozen.
ConnectionChoice pace_choice(ToolState& tool);

}  // namespace tvx
