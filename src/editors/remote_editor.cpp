#include "editors/remote_editor.h"

#include "protocol/command_builders.h"

namespace tvx {

std::vector<std::string> RemoteEditor::mode_items() {
    return {"BINARY   ", "BIT      ", "OPERATION"};
}

int RemoteEditor::mode_selection() const {
    const int mode = tool_.model.remote_mode;
    return mode >= 0 && mode < 3 ? mode : -1;
}

void RemoteEditor::select_mode(int index) {
    if (index >= 0 && index < 3) tool_.model.remote_mode = index;
}

void RemoteEditor::send_mode() {
    link_.send_command(build_setting_command(tool_.model, SettingCommand::RM));
}

void RemoteEditor::send_connectors() {
    link_.send_command(build_connector_pages(tool_.model, ConnectorCommand::RCA));
}

void RemoteEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
