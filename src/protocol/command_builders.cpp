#include "protocol/command_builders.h"

#include "glyphs/glyph_text.h"
#include "protocol/line_format.h"
#include "protocol/shift_jis.h"

namespace tvx {
namespace {

std::string line(std::string text) {
    text += kLineEnd;
    return text;
}

// A page field: "AS" for automatic switching, otherwise the page number 01 to 64.
void append_page(std::string& out, int page) {
    if (page == kAutoSwitchPage) {
        out += "AS";
    } else {
        append_digits(out, page + 1, 2);
    }
}

void append_page_value(std::string& out, const PageCommandRow& row, const PageSettings& page,
                       bool all_pages) {
    const int value = page.*row.field;
    switch (row.kind) {
        case PageFieldKind::kChoice: {
            const std::string_view text = choice_text(row.choices, row.choice_count, value);
            if (all_pages) {
                out += text.back();
            } else {
                out += text;
            }
            break;
        }
        case PageFieldKind::kTwoDigits:
            append_digits(out, value, 2);
            break;
        case PageFieldKind::kColours:
            append_digits(out, page.char_colour, 1);
            append_digits(out, page.edge_colour, 1);
            break;
    }
}

const PageSettings& page_at(const SettingsModel& model, int page) {
    if (page < 0 || page >= kPageCount) page = 0;
    return model.pages[static_cast<std::size_t>(page)];
}

}  // namespace

std::string build_page_command(const SettingsModel& model, PageCommand command, int page) {
    const PageCommandRow& row = page_command_row(command);
    std::string out(row.mnemonic);
    append_digits(out, page + 1, 2);
    append_page_value(out, row, page_at(model, page), false);
    return line(std::move(out));
}

std::string build_all_pages_command(const SettingsModel& model, PageCommand command) {
    const PageCommandRow& row = page_command_row(command);
    std::string out(row.mnemonic);
    for (const PageSettings& page : model.pages) append_page_value(out, row, page, true);
    return line(std::move(out));
}

std::string build_setting_command(const SettingsModel& model, SettingCommand command) {
    const SettingCommandRow& row = setting_command_row(command);
    std::string out(row.mnemonic);
    out += choice_text(row.choices, row.choice_count, setting_field(model, row));
    return line(std::move(out));
}

std::string build_date_command(DateCommand command, int item_index) {
    for (const DateCommandRow& row : kDateCommands) {
        if (row.command != command) continue;
        std::string out(row.mnemonic);
        append_digits(out, item_index + row.offset, 2);
        return line(std::move(out));
    }
    return line("TSA");
}

std::string build_time_adjust() {
    return line("TSA");
}

std::string build_display_page(int selection) {
    std::string out("P");
    append_page(out, selection);
    return line(std::move(out));
}

std::string build_display_switch(bool on) {
    return line(on ? "IDON" : "IDOF");
}

int alarm_hold_seconds(std::string_view text) {
    int digits = 0;
    int value = 0;
    for (std::size_t i = 0; i < text.size() && i < 4; ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        if (digits < 3) value = value * 10 + (text[i] - '0');
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

std::optional<std::string> build_alarm_hold_time(const SettingsModel& model) {
    const int seconds = alarm_hold_seconds(model.alarm_hold_time);
    if (seconds < 3) return std::nullopt;
    std::string out("ADT");
    append_digits(out, seconds, 3);
    return line(std::move(out));
}

std::string build_connector_pages(const SettingsModel& model, ConnectorCommand command) {
    std::string out(command == ConnectorCommand::ACA ? "ACA" : "RCA");
    for (int page : model.connector_pages) append_digits(out, page + 1, 2);
    return line(std::move(out));
}

std::string build_power_on_page(const SettingsModel& model) {
    std::string out("POSP");
    append_page(out, model.power_on_page);
    return line(std::move(out));
}

std::string build_schedule_day(const SettingsModel& model, int day) {
    if (day < 0 || day >= kScheduleDays) day = 0;
    std::string out("SD");
    append_digits(out, day + 1, 2);
    for (const ScheduleEntry& entry : model.schedule[static_cast<std::size_t>(day)]) {
        append_digits(out, entry.hour, 2);
        append_digits(out, entry.minute, 2);
        if (entry.page == kAutoSwitchPage) {
            out += "AS";
        } else if (entry.page >= 0 && entry.page < kPageCount) {
            append_digits(out, entry.page + 1, 2);
        } else {
            out += "00";
        }
    }
    return line(std::move(out));
}

std::string build_address_command(const SettingsModel& model, AddressCommand command) {
    for (const AddressCommandRow& row : kAddressCommands) {
        if (row.command != command) continue;
        std::string out(row.mnemonic);
        const IPv4Octets& octets = model.network.*row.field;
        for (std::size_t i = 0; i < octets.size(); ++i) {
            if (i > 0) out += '.';
            append_digits(out, octets[i] & 0xFF, 3);
        }
        return line(std::move(out));
    }
    return line("EIA000.000.000.000");
}

std::optional<std::string> build_port_number(const SettingsModel& model) {
    const std::string& port = model.network.port_number;
    if (port.empty() || port.size() > 5) return std::nullopt;
    for (char c : port) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    std::string out("EPN");
    out.append(5 - port.size(), '0');
    out += port;
    return line(std::move(out));
}

std::uint16_t glyph_code(int slot) {
    if (slot < 0) return 0;
    if (slot <= 25) return static_cast<std::uint16_t>(0xA365 + slot);
    if (slot <= 119) return static_cast<std::uint16_t>(0xA407 + slot);
    if (slot <= 213) return static_cast<std::uint16_t>(0xA4A9 + slot);
    if (slot <= 255) return static_cast<std::uint16_t>(0xA54B + slot);
    return 0;
}

int glyph_slot(std::uint16_t code) {
    if (code >= 0xA365 && code <= 0xA37E) return code - 0xA365;
    if (code >= 0xA421 && code <= 0xA47E) return code - 0xA407;
    if (code >= 0xA521 && code <= 0xA57E) return code - 0xA4A9;
    if (code >= 0xA621 && code <= 0xA64A) return code - 0xA54B;
    return -1;
}

std::optional<std::uint16_t> sample_char_code(std::string_view sample) {
    if (sample.size() > 4) return std::nullopt;
    const auto byte = [&sample](std::size_t i) {
        return i < sample.size() ? static_cast<unsigned char>(sample[i]) : 0u;
    };
    const std::uint16_t code = sjis_to_unit_code(static_cast<std::uint16_t>(byte(0) << 8 | byte(1)));
    return code == 0 ? std::uint16_t{0x2121} : code;
}

std::string build_glyph_register(const GlyphSize& size, int slot, std::string_view text) {
    std::string out(size.register_mnemonic);
    append_digits(out, slot + 1, 3);
    for (int i = 0; i < size.digits; ++i) {
        const auto at = static_cast<std::size_t>(i);
        out += at < text.size() ? normalise_glyph_digit(text[at]) : '0';
    }
    return line(std::move(out));
}

std::string build_glyph_read(const GlyphSize& size, std::uint16_t code) {
    std::string out(size.read_mnemonic);
    append_hex4(out, code);
    return line(std::move(out));
}

std::string build_glyph_insert(int slot, int page, int position) {
    std::string out("G");
    append_digits(out, slot + 1, 3);
    out += 'P';
    append_digits(out, page + 1, 2);
    out += 'I';
    append_digits(out, position + 1, 3);
    return line(std::move(out));
}

std::string build_read_command(std::string_view read) {
    return line(std::string(read));
}

std::string build_title_read(int page) {
    std::string out("RCA");
    append_digits(out, page + 1, 2);
    return line(std::move(out));
}

std::string build_schedule_read(int day) {
    std::string out("RSD");
    append_digits(out, day + 1, 2);
    return line(std::move(out));
}

std::string build_version_line(const SettingsModel& model) {
    std::string out("VN");
    std::string version = model.network.version_number.substr(0, 4);
    version.resize(4, ' ');
    out += version;
    return line(std::move(out));
}

std::string build_mac_line(const SettingsModel& model) {
    std::string out("EMA");
    std::string mac = model.network.mac_address.substr(0, 17);
    mac.resize(17, '0');
    out += mac;
    return line(std::move(out));
}

std::string build_alarm_hold_line(const SettingsModel& model) {
    std::string out("ADT");
    append_digits(out, alarm_hold_seconds(model.alarm_hold_time), 3);
    return line(std::move(out));
}

}  // namespace tvx
