#include "protocol/command_set.h"

namespace tvx {

const PageCommandRow& page_command_row(PageCommand command) {
    for (const PageCommandRow& row : kPageCommands) {
        if (row.command == command) return row;
    }
    return kPageCommands.front();
}

int all_pages_field_width(const PageCommandRow& row) {
    return row.kind == PageFieldKind::kChoice ? 1 : 2;
}

const SettingCommandRow& setting_command_row(SettingCommand command) {
    for (const SettingCommandRow& row : kSettingCommands) {
        if (row.command == command) return row;
    }
    return kSettingCommands.front();
}

int& setting_field(SettingsModel& model, const SettingCommandRow& row) {
    return row.field != nullptr ? model.*row.field : model.network.*row.network;
}

int setting_field(const SettingsModel& model, const SettingCommandRow& row) {
    return row.field != nullptr ? model.*row.field : model.network.*row.network;
}

std::string_view choice_text(const Choices& choices, int count, int value) {
    if (value >= 0 && value < count) return choices[static_cast<std::size_t>(value)];
    return count == 2 ? choices[1] : choices[0];
}

int choice_value(const Choices& choices, int count, char letter, int foreign) {
    for (int v = 0; v < count; ++v) {
        if (choices[static_cast<std::size_t>(v)].back() == letter) return v;
    }
    return foreign;
}

}  // namespace tvx
