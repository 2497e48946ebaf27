#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/configuration.h"
#include "config/notices.h"
#include "link/tcp_link.h"
#include "model/tool_state.h"

namespace tvx {

// A host as the host list shows it: each octet in three digits, every octet after the first preceded
// by a space and a full stop, 18 characters in all.
std::string host_list_text(const HostAddress& host);

// "TCP/IPの設定(Client)": the host list kept in the INI file, the port, and connecting to the chosen
// host. The connection always goes to host select_number; the address field only feeds "追加".
class TcpClientController {
  public:
    static constexpr std::string_view kCaption = "TCP/IPの設定(Client)";
    static constexpr std::size_t kPortLength = 5;

    TcpClientController(ToolState& tool, Notices& notices, TcpLink& link);

    void open();

    std::vector<std::string> host_items() const;
    const HostAddress& address() const { return address_; }
    void set_address(const HostAddress& address) { address_ = address; }
    const std::string& port_text() const { return tool_.model.network.port_number; }
    void set_port_text(std::string_view text);
    bool connect_enabled() const { return !link_.tcp_connected(); }
    bool disconnect_enabled() const { return link_.tcp_connected(); }

    // "追加": the address field's host goes to the end of the list and into the file.
    void add();
    // "追加" with the field's text: a text that is not a whole address of octets 0 to 255 is refused
    // with a notice, and neither the list nor the file changes.
    bool add(std::string_view field_text);
    // "削除" of the host in row (the list's selection; -1 none).
    void remove(int row);
    // Double-click: the host in row becomes the one to connect to.
    void choose_host(int row);
    // "接続" and "切断".
    void connect();
    void disconnect();
    // "設定" or the close box.
    void close();

  private:
    ToolState& tool_;
    Notices& notices_;
    TcpLink& link_;
    HostAddress address_{};
};

}  // namespace tvx
