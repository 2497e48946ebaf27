#include "editors/tcp_client_controller.h"

#include <cstdio>

#include "editors/address_text.h"
#include "editors/connection_choice.h"

namespace tvx {

std::string host_list_text(const HostAddress& host) {
    char text[24];
    std::snprintf(text, sizeof text, "%03d .%03d .%03d .%03d", host[0], host[1], host[2], host[3]);
    return text;
}

TcpClientController::TcpClientController(ToolState& tool, Notices& notices, TcpLink& link)
    : tool_(tool), notices_(notices), link_(link) {}

void TcpClientController::open() {
    connection_dialog_opened(tool_);
    const Configuration& config = tool_.config;
    if (config.select_number >= 0 && config.select_number < config.list_count) {
        address_ = config.host_list[config.select_number];
    }
}

std::vector<std::string> TcpClientController::host_items() const {
    std::vector<std::string> items;
    for (int i = 0; i < tool_.config.list_count; ++i)
        items.push_back(host_list_text(tool_.config.host_list[i]));
    return items;
}

void TcpClientController::set_port_text(std::string_view text) {
    tool_.model.network.port_number = std::string(text.substr(0, kPortLength));
}

void TcpClientController::add() {
    Configuration& config = tool_.config;
    if (config.list_count >= kMaxHosts) {
        notices_.notify_error("ホストはこれ以上追加できません。");
        return;
    }
    const int index = config.list_count;
    config.host_list[index] = address_;
    config.list_count = index + 1;
    write_config_value(config, "list_count", std::to_string(config.list_count));
    write_host(config, index);
}

bool TcpClientController::add(std::string_view field_text) {
    const std::optional<HostAddress> typed = parse_address_text(field_text);
    if (!typed) {
        notices_.notify_error(kAddressRefused);
        return false;
    }
    const int before = tool_.config.list_count;
    address_ = *typed;
    add();
    return tool_.config.list_count > before;
}

void TcpClientController::remove(int row) {
    Configuration& config = tool_.config;
    if (row < 0 || row >= config.list_count) return;
    const bool chosen_is_a_host = config.select_number >= 0 && config.select_number < config.list_count;
    config.list_count -= 1;
    write_config_value(config, "list_count", std::to_string(config.list_count));
    for (int i = row; i < config.list_count; ++i) {
        config.host_list[i] = config.host_list[i + 1];
        write_host(config, i);
    }
    // The chosen host keeps being the same host: it moves down with the list. When it is the one deleted,
    // nothing is chosen until the operator picks again; the file keeps its number, since a number outside
    // the list (-1 above all) would make older copies of the tool read an entry that does not exist.
    if (!chosen_is_a_host || config.select_number < row) return;
    if (config.select_number == row) {
        config.select_number = -1;
        return;
    }
    config.select_number -= 1;
    write_config_value(config, "select_number", std::to_string(config.select_number));
}

void TcpClientController::choose_host(int row) {
    Configuration& config = tool_.config;
    if (row < 0 || row >= config.list_count) return;
    config.select_number = row;
    write_config_value(config, "select_number", std::to_string(row));
    address_ = config.host_list[row];
}

void TcpClientController::connect() {
    if (link_.tcp_connect() != 1) link_.set_tcp_connected(0);
}

void TcpClientController::disconnect() {
    if (!link_.tcp_connected()) return;
    link_.tcp_stop();
    link_.set_tcp_connected(0);
    notices_.notify_success("Socket 切断 OK");
}

void TcpClientController::close() {
    write_config_value(tool_.config, "p_port_number", tool_.model.network.port_number);
}

}  // namespace tvx
