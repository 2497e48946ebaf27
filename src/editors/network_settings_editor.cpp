#include "editors/network_settings_editor.h"

#include "editors/address_text.h"
#include "editors/editor_frame.h"
#include "protocol/command_builders.h"
#include "protocol/command_senders.h"

namespace tvx {
namespace {

const AddressCommandRow& address_row(AddressCommand address) {
    for (const AddressCommandRow& row : kAddressCommands) {
        if (row.command == address) return row;
    }
    return kAddressCommands.front();
}

void append_three_digits(std::string& out, int value) {
    value &= 0xFF;
    out += static_cast<char>('0' + value / 100);
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string dotted_address(const IPv4Octets& octets) {
    std::string out;
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (i > 0) out += '.';
        append_three_digits(out, octets[i]);
    }
    return out;
}

std::string NetworkSettingsEditor::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, kCaption, kTitleText, selected_address);
}

std::string_view NetworkSettingsEditor::caption(AddressCommand address) {
    switch (address) {
        case AddressCommand::EIA:
            return "IP Address";
        case AddressCommand::EGA:
            return "Gateway Address";
        case AddressCommand::EAA:
            return "Active Address";
    }
    return {};
}

const IPv4Octets& NetworkSettingsEditor::address(AddressCommand address) const {
    return tool_.model.network.*address_row(address).field;
}

bool NetworkSettingsEditor::send_address(AddressCommand address, std::string_view field_text) {
    const std::optional<HostAddress> typed = parse_address_text(field_text);
    if (!typed) {
        notices_.notify_error(kAddressRefused);
        return false;
    }
    IPv4Octets& octets = tool_.model.network.*address_row(address).field;
    for (std::size_t i = 0; i < octets.size(); ++i) octets[i] = (*typed)[i];
    link_.send_command(build_address_command(tool_.model, address));
    return true;
}

std::string_view NetworkSettingsEditor::caption(Choice choice) {
    switch (choice) {
        case Choice::kSubnetMask:
            return "Subnet Mask";
        case Choice::kConnectionTry:
            return "Connection Try";
        case Choice::kKeepAlive:
            return "Keep Alive";
        case Choice::kTimeRegister:
            return "Time Register";
    }
    return {};
}

std::vector<std::string> NetworkSettingsEditor::items(Choice choice) {
    switch (choice) {
        case Choice::kSubnetMask:
            return {"Class A", "Class B", "Class C"};
        case Choice::kConnectionTry:
        case Choice::kKeepAlive:
            return {"OFF", "ON "};
        case Choice::kTimeRegister:
            return {" 1", " 2", " 3", " 4", " 5", " 6"};
    }
    return {};
}

int& NetworkSettingsEditor::field(Choice choice) {
    NetworkSettings& network = tool_.model.network;
    switch (choice) {
        case Choice::kSubnetMask:
            return network.subnet_class;
        case Choice::kConnectionTry:
            return network.connection_try;
        case Choice::kKeepAlive:
            return network.keep_alive;
        case Choice::kTimeRegister:
            break;
    }
    return network.time_register;
}

int NetworkSettingsEditor::field(Choice choice) const {
    return const_cast<NetworkSettingsEditor*>(this)->field(choice);
}

int NetworkSettingsEditor::selection(Choice choice) const {
    const int value = field(choice);
    return value >= 0 && value < static_cast<int>(items(choice).size()) ? value : -1;
}

void NetworkSettingsEditor::select(Choice choice, int index) {
    if (index >= 0 && index < static_cast<int>(items(choice).size())) field(choice) = index;
}

void NetworkSettingsEditor::send(Choice choice) {
    static constexpr SettingCommand kCommands[] = {SettingCommand::ESM, SettingCommand::ECT,
                                                   SettingCommand::EKA, SettingCommand::ETR};
    link_.send_command(build_setting_command(tool_.model, kCommands[static_cast<int>(choice)]));
}

void NetworkSettingsEditor::set_port_text(std::string_view text) {
    tool_.model.network.port_number = std::string(text.substr(0, std::min(text.size(), kPortLength)));
}

bool NetworkSettingsEditor::send_port() {
    return send_port_number(tool_.model, link_, notices_);
}

bool NetworkSettingsEditor::start_read() {
    return sequence_.start();
}

NetworkSettingsEditor::Tick NetworkSettingsEditor::tick() {
    if (!reading()) return Tick::kIdle;
    const int sent = sequence_.steps_sent();
    switch (sequence_.tick()) {
        case PacedSequence::State::kRunning:
            return sequence_.steps_sent() == sent ? Tick::kWaiting : Tick::kSent;
        case PacedSequence::State::kCompleted:
            return Tick::kCompleted;
        default:
            return Tick::kStopped;
    }
}

}  // namespace tvx
