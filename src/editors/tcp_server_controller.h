#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "link/tcp_link.h"
#include "model/tool_state.h"

namespace tvx {

// "TCP/IPの設定(Server)": the listening server, the units connected to it and the one that commands
// go to. The link accepts and loses units by itself; this shows the current state whenever asked.
class TcpServerController {
  public:
    static constexpr std::string_view kCaption = "TCP/IPの設定(Server)";
    static constexpr std::size_t kPortLength = 5;

    struct ClientRow {
        int index;  // client_table entry
        std::string address;
        int port = 0;
        std::string connected_at;  // "14:03:27", when the unit connected
        std::string last_result;   // how the last command to it went; empty before the first
        bool chosen = false;       // commands go to it
    };

    TcpServerController(ToolState& tool, TcpLink& link);

    void open();

    // The units in use, in table order.
    std::vector<ClientRow> client_rows() const;
    // The picked unit's address and port while it is still connected, followed by how many more are
    // chosen; empty otherwise.
    std::string transmission_place() const;
    // "12 台接続"
    std::string connected_count() const;
    const std::string& port_text() const { return tool_.model.network.port_number; }
    void set_port_text(std::string_view text);

    // The buttons follow the listening state: "接続" while stopped, "切断" while listening or while
    // units are still there; the port can change only while stopped.
    bool connect_enabled() const;
    bool disconnect_enabled() const;
    bool port_enabled() const { return connect_enabled(); }

    // Double-click on row of the client list.
    void choose_client(int row);
    // Several rows chosen at once, for the commands that go to many units; one row is as a double-click.
    void choose_clients(const std::vector<int>& rows);
    // "全台を選択": every unit connected.
    void choose_all();
    bool choose_all_enabled() const { return link_.clients_in_use() > 0; }
    // "接続", "切断", and "Close" or the close box.
    void start();
    void stop();
    void close();

  private:
    ToolState& tool_;
    TcpLink& link_;
};

}  // namespace tvx
