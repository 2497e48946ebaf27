#pragma once

#include <string>
#include <vector>

#include "model/settings_model.h"
#include "protocol/command_builders.h"
#include "protocol/title_encoding.h"

namespace tvx::testing {

// Every line that writes a model's settings to a unit: titles, schedule, every other setting.
inline std::vector<std::string> send_all_lines(const SettingsModel& model) {
    std::vector<std::string> lines;
    for (int page = 0; page < kPageCount; ++page) {
        lines.push_back(*build_title_command(model.pages[static_cast<std::size_t>(page)].title, page));
    }
    for (int day = 0; day < kScheduleDays; ++day) lines.push_back(build_schedule_day(model, day));
    for (const PageCommandRow& row : kPageCommands)
        lines.push_back(build_all_pages_command(model, row.command));
    for (const SettingCommandRow& row : kSettingCommands)
        lines.push_back(build_setting_command(model, row.command));
    for (const AddressCommandRow& row : kAddressCommands)
        lines.push_back(build_address_command(model, row.command));
    lines.push_back(build_connector_pages(model, ConnectorCommand::ACA));
    lines.push_back(*build_alarm_hold_time(model));
    lines.push_back(build_power_on_page(model));
    lines.push_back(*build_port_number(model));
    return lines;
}

// Every read command: the read-back sequence's and the network editor's.
inline std::vector<std::string> read_all_lines() {
    std::vector<std::string> lines;
    for (int page = 0; page < kPageCount; ++page) lines.push_back(build_title_read(page));
    for (int day = 0; day < kScheduleDays; ++day) lines.push_back(build_schedule_read(day));
    for (const ReadCommandRow& row : kReadCommands) lines.push_back(build_read_command(row.read));
    return lines;
}

}  // namespace tvx::testing
