#include "protocol/reply_decoders.h"

#include "protocol/command_set.h"
#include "protocol/line_format.h"
#include "protocol/title_encoding.h"

namespace tvx {
namespace {

// Stores value when it lies in min..max; false (field unchanged) otherwise.
bool store_if(int& field, int value, int min, int max) {
    if (value < min || value > max) return false;
    field = value;
    return true;
}

bool is_printable(std::string_view text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

bool all_digits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool decode_page_row(SettingsModel& model, const PageCommandRow& row, std::string_view line) {
    const std::size_t start = row.mnemonic.size();
    const auto width = static_cast<std::size_t>(all_pages_field_width(row));
    if (line.size() < start + width * kPageCount) return false;
    bool whole = true;
    for (std::size_t k = 0; k < static_cast<std::size_t>(kPageCount); ++k) {
        PageSettings& page = model.pages[k];
        const std::size_t at = start + width * k;
        int value = 0;
        switch (row.kind) {
            case PageFieldKind::kChoice:
                value = choice_value(row.choices, row.choice_count, line[at], row.foreign);
                whole &= store_if(page.*row.field, value, row.min, row.max);
                break;
            case PageFieldKind::kTwoDigits:
                whole &=
                    read_digits(line, at, 2, value) && store_if(page.*row.field, value, row.min, row.max);
                break;
            case PageFieldKind::kColours:
                whole &=
                    read_digits(line, at, 1, value) && store_if(page.char_colour, value, row.min, row.max);
                whole &= read_digits(line, at + 1, 1, value) &&
                         store_if(page.edge_colour, value, row.min, row.max);
                break;
        }
    }
    return whole;
}

bool decode_setting_row(SettingsModel& model, const SettingCommandRow& row, std::string_view line) {
    const std::size_t at = row.mnemonic.size() + row.choices[0].size() - 1;
    if (line.size() <= at) return false;
    const int value = choice_value(row.choices, row.choice_count, line[at], row.foreign);
    return store_if(setting_field(model, row), value, 0, row.choice_count - 1);
}

bool decode_address_row(SettingsModel& model, const AddressCommandRow& row, std::string_view line) {
    IPv4Octets octets{};
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (!read_digits(line, 3 + 4 * i, 3, octets[i])) return false;
        octets[i] &= 0xFF;
    }
    model.network.*row.field = octets;
    return true;
}

bool decode_connectors(SettingsModel& model, std::string_view line) {
    if (line.size() < kConnectorLineLength) return false;
    bool whole = true;
    for (std::size_t k = 0; k < model.connector_pages.size(); ++k) {
        int number = 0;
        whole &= read_digits(line, 3 + 2 * k, 2, number) &&
                 store_if(model.connector_pages[k], number - 1, 0, kPageCount - 1);
    }
    return whole;
}

bool decode_alarm_hold(SettingsModel& model, std::string_view line) {
    const std::string_view digits = line.substr(std::min<std::size_t>(3, line.size()), 3);
    if (digits.size() != 3 || !all_digits(digits)) return false;
    model.alarm_hold_time = std::string(digits);
    return true;
}

bool decode_power_on_page(SettingsModel& model, std::string_view line) {
    if (line.substr(0, 6) == "POSPAS") {
        model.power_on_page = kAutoSwitchPage;
        return true;
    }
    int number = 0;
    return read_digits(line, 4, 2, number) && store_if(model.power_on_page, number - 1, 0, kPageCount - 1);
}

bool decode_schedule(SettingsModel& model, std::string_view line) {
    int day = 0;
    if (!read_digits(line, 2, 2, day) || day < 1 || day > kScheduleDays) return false;
    if (line.size() < kScheduleLineLength) return false;
    auto& entries = model.schedule[static_cast<std::size_t>(day - 1)];
    bool whole = true;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        ScheduleEntry& entry = entries[e];
        const std::size_t at = 4 + 6 * e;
        int value = 0;
        whole &= read_digits(line, at, 2, value) && store_if(entry.hour, value, 0, 23);
        whole &= read_digits(line, at + 2, 2, value) && store_if(entry.minute, value, 0, 59);
        if (line[at + 4] == 'A') {
            entry.page = kAutoSwitchPage;
        } else if (read_digits(line, at + 4, 2, value)) {
            if (value == 0) {
                entry.page = kScheduleOffPage;
            } else {
                whole &= store_if(entry.page, value - 1, 0, kPageCount - 1);
            }
        } else {
            whole = false;
        }
    }
    return whole;
}

bool decode_version(SettingsModel& model, std::string_view line) {
    if (line.size() < kVersionLineLength) return false;
    const std::string_view text = line.substr(2, 4);
    if (!is_printable(text)) return false;
    model.network.version_number = std::string(text);
    return true;
}

bool decode_mac(SettingsModel& model, std::string_view line) {
    if (line.size() < kMacLineLength) return false;
    const std::string_view text = line.substr(3, 17);
    if (!is_printable(text)) return false;
    model.network.mac_address = std::string(text);
    return true;
}

bool decode_port(SettingsModel& model, std::string_view line) {
    if (line.size() < kPortLineLength) return false;
    const std::string_view text = line.substr(3, 5);
    if (!all_digits(text)) return false;
    model.network.port_number = std::string(text);
    return true;
}

struct SpecialDecoder {
    std::string_view mnemonic;
    bool (*decode)(SettingsModel&, std::string_view);
};

constexpr SpecialDecoder kSpecialDecoders[] = {
    {"ACA", decode_connectors}, {"ADT", decode_alarm_hold},
    {"CA", decode_title},       {"POSP", decode_power_on_page},
    {"SD", decode_schedule},    {"VN", decode_version},
    {"EMA", decode_mac},        {"EPN", decode_port},
};

}  // namespace

bool decode_data_line(SettingsModel& model, std::string_view mnemonic, std::string_view line) {
    line = without_line_end(line);
    for (const PageCommandRow& row : kPageCommands) {
        if (row.mnemonic == mnemonic) {
            return decode_page_row(model, row, line);
        }
    }
    for (const SettingCommandRow& row : kSettingCommands) {
        if (row.mnemonic == mnemonic) {
            return decode_setting_row(model, row, line);
        }
    }
    for (const AddressCommandRow& row : kAddressCommands) {
        if (row.mnemonic == mnemonic) {
            return decode_address_row(model, row, line);
        }
    }
    for (const SpecialDecoder& special : kSpecialDecoders) {
        if (special.mnemonic == mnemonic) {
            return special.decode(model, line);
        }
    }
    return false;
}

}  // namespace tvx
