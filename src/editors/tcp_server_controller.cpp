#include "editors/tcp_server_controller.h"

#include <cstdio>
#include <ctime>

#include "config/configuration.h"
#include "editors/connection_choice.h"

namespace tvx {
namespace {

std::string clock_time(std::int64_t ms_since_epoch) {
    if (ms_since_epoch <= 0) return {};
    const std::time_t seconds = static_cast<std::time_t>(ms_since_epoch / 1000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

TcpServerController::TcpServerController(ToolState& tool, TcpLink& link) : tool_(tool), link_(link) {}

void TcpServerController::open() {
    connection_dialog_opened(tool_);
}

std::vector<TcpServerController::ClientRow> TcpServerController::client_rows() const {
    std::vector<ClientRow> rows;
    const ClientTable& table = link_.client_table();
    for (int i = 1; i < kClientTableSize; ++i) {
        if (table[i].in_use != 1) continue;
        rows.push_back({i, table[i].address, table[i].port, clock_time(table[i].connected_at_ms),
                        table[i].last_result, link_.is_chosen(i)});
    }
    return rows;
}

std::string TcpServerController::transmission_place() const {
    if (!link_.selected_client_present()) return {};
    const TcpClientEntry& entry = link_.client_table()[tool_.config.select_number];
    std::string text = entry.address + ":" + std::to_string(entry.port);
    const std::size_t chosen = link_.chosen_clients().size();
    if (chosen > 1) text += " 他 " + std::to_string(chosen - 1) + " 台";
    return text;
}

std::string TcpServerController::connected_count() const {
    return std::to_string(link_.clients_in_use()) + " 台接続";
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

void TcpServerController::choose_clients(const std::vector<int>& rows) {
    if (rows.size() == 1) {
        choose_client(rows.front());
        return;
    }
    const std::vector<ClientRow> all = client_rows();
    std::vector<int> indexes;
    for (const int row : rows) {
        if (row >= 0 && row < static_cast<int>(all.size())) indexes.push_back(all[static_cast<std::size_t>(row)].index);
    }
    link_.choose_clients(indexes);
}

void TcpServerController::choose_all() {
    std::vector<int> indexes;
    for (const ClientRow& row : client_rows()) indexes.push_back(row.index);
    link_.choose_clients(indexes);
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
