#include "editors/connection_choice.h"

#include <utility>

#include "config/configuration.h"
#include "protocol/paced_sequence.h"

namespace tvx {

void connection_dialog_opened(ToolState& tool) {
    tool.model.run.hidden_entry_count = 0;
}

ConnectionChoice::ConnectionChoice(ToolState& tool, const TcpSender* connection, Definition definition)
    : tool_(tool), connection_(connection), definition_(std::move(definition)) {}

bool ConnectionChoice::enabled() const {
    return !(definition_.frozen_while_connected && connection_ && connection_->tcp_connected());
}

int ConnectionChoice::selection() const {
    if (!enabled()) return -1;
    const int value = tool_.config.*definition_.field;
    return value >= 0 && value < static_cast<int>(definition_.items.size()) ? value : -1;
}

void ConnectionChoice::choose(int row) {
    if (!enabled() || row < 0 || row >= static_cast<int>(definition_.items.size())) return;
    tool_.config.*definition_.field = row;
    write_config_value(tool_.config, definition_.key, std::to_string(row));
}

ConnectionChoice interface_choice(ToolState& tool, const TcpSender& connection) {
    return {
        tool, &connection, {"Interface", {"RS-232C/485", "TCP/IP"}, &Configuration::link_interface, true}};
}

ConnectionChoice com_port_choice(ToolState& tool) {
    return {tool,
            nullptr,
            {"com_port",
             {"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6"},
             &Configuration::com_port,
             false}};
}

ConnectionChoice rs_control_choice(ToolState& tool) {
    return {tool, nullptr, {"rs_control", {"RS-232C", "RS-485"}, &Configuration::rs_control, false}};
}

ConnectionChoice pace_choice(ToolState& tool) {
    return {tool, nullptr, {"pace", {std::string(kPaceNames[0]), std::string(kPaceNames[1])}, &Configuration::pace, false}};
}

ConnectionChoice client_server_choice(ToolState& tool, const TcpSender& connection) {
    return {tool, &connection, {"ClientServer", {"Client", "Server"}, &Configuration::client_server, true}};
}

}  // namespace tvx
