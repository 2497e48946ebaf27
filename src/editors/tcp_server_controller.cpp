#include "editors/tcp_server_controller.h"

#include "config/configuration.h"
#include "editors/connection_choice.h"

namespace tvx {

TcpServerController::TcpServerController(ToolState& tool, TcpLink& link) : tool_(tool), link_(link) {}

void TcpServerController::open() {
    connection_dialog_opened(tool_);
}

std::vector<TcpServerController::ClientRow> TcpServerController::client_rows() const {
    std::vector<ClientRow> rows;
    const ClientTable& table = link_.client_table();
    for (int i = 1; i < kClientTableSize; ++i) {
        if (table[i].in_use == 1) rows.push_back({i, table[i].address});
    }
    return rows;
}

std::string TcpServerController::transmission_place() const {
    if (!link_.selected_client_present()) return {};
    return link_.client_table()[tool_.config.select_number].address;
}

void TcpServerController::set_port_text(std::string_view text) {
    tool_.model.network.port_number = std::string(text.substr(0, kPortLength));
}

bool TcpServerController::connect_enabled() const {
    return !link_.is_listening() && link_.clients_in_use() == 0;
}

bool TcpServerController::disconnect_enabled() const {
    return !connect_enabled();
}

void TcpServerController::choose_client(int row) {
    const std::vector<ClientRow> rows = client_rows();
    if (rows.empty()) {
        tool_.config.select_number = -1;
        return;
    }
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    link_.tcp_select_client(rows[static_cast<std::size_t>(row)].index);
}

void TcpServerController::start() {
    link_.tcp_start_server();
}

void TcpServerController::stop() {
    link_.tcp_stop();
    tool_.config.select_number = -1;
    link_.set_tcp_connected(0);
}

void TcpServerController::close() {
    write_config_value(tool_.config, "p_port_number", tool_.model.network.port_number);
}

}  // namespace tvx
