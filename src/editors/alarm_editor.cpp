#include "editors/alarm_editor.h"

#include "editors/per_page_preview.h"
#include "protocol/command_builders.h"
#include "protocol/command_senders.h"

namespace tvx {

std::string ConnectorTable::label(int connector) {
    return "No." + std::to_string(connector + 1);
}

std::vector<std::string> ConnectorTable::items() {
    std::vector<std::string> items;
    items.reserve(kPageCount);
    for (int page = 1; page <= kPageCount; ++page) items.push_back(two_digits(page));
    return items;
}

int ConnectorTable::selection(int connector) const {
    if (connector < 0 || connector >= kConnectorCount) return -1;
    const int page = model_.connector_pages[static_cast<std::size_t>(connector)];
    return page >= 0 && page < kPageCount ? page : -1;
}

void ConnectorTable::select(int connector, int index) {
    if (connector < 0 || connector >= kConnectorCount || index < 0 || index >= kPageCount) return;
    model_.connector_pages[static_cast<std::size_t>(connector)] = index;
}

std::string_view AlarmEditor::caption(Setting setting) {
    switch (setting) {
        case Setting::kMode:
            return "モード";
        case Setting::kPolarity:
            return "入力極性";
        case Setting::kDisplay:
            return "表示";
        case Setting::kReturn:
            return "リターン";
    }
    return {};
}

std::vector<std::string> AlarmEditor::items(Setting setting) {
    switch (setting) {
        case Setting::kMode:
            return {"Internal", "External"};
        case Setting::kPolarity:
            return {"Make ", "Break"};
        case Setting::kDisplay:
        case Setting::kReturn:
            return {"OFF", " ON"};
    }
    return {};
}

int& AlarmEditor::field(Setting setting) {
    switch (setting) {
        case Setting::kMode:
            return tool_.model.alarm_mode;
        case Setting::kPolarity:
            return tool_.model.alarm_polarity;
        case Setting::kDisplay:
            return tool_.model.alarm_display;
        case Setting::kReturn:
            break;
    }
    return tool_.model.alarm_return;
}

int AlarmEditor::field(Setting setting) const {
    return const_cast<AlarmEditor*>(this)->field(setting);
}

int AlarmEditor::selection(Setting setting) const {
    const int value = field(setting);
    return value >= 0 && value < static_cast<int>(items(setting).size()) ? value : -1;
}

void AlarmEditor::select(Setting setting, int index) {
    if (index >= 0 && index < static_cast<int>(items(setting).size())) field(setting) = index;
}

void AlarmEditor::send(Setting setting) {
    static constexpr SettingCommand kCommands[] = {SettingCommand::AM, SettingCommand::AP,
                                                   SettingCommand::ADO, SettingCommand::ARO};
    link_.send_command(build_setting_command(tool_.model, kCommands[static_cast<int>(setting)]));
}

void AlarmEditor::set_hold_time(std::string_view text) {
    tool_.model.alarm_hold_time = std::string(text);
}

bool AlarmEditor::send_hold_time() {
    return send_alarm_hold_time(tool_.model, link_, notices_);
}

void AlarmEditor::send_connectors() {
    link_.send_command(build_connector_pages(tool_.model, ConnectorCommand::ACA));
}

void AlarmEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
