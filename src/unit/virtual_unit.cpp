#include "unit/virtual_unit.h"

#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "glyphs/glyph_text.h"
#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "protocol/command_set.h"
#include "protocol/line_format.h"

namespace tvx {
namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string without_end(const std::string& line) {
    return std::string(without_line_end(line));
}

// Two digits from min to max at pos.
bool number_at(std::string_view text, std::size_t pos, int width, int min, int max, int& value) {
    return read_digits(text, pos, width, value) && value >= min && value <= max;
}

bool page_at(std::string_view text, std::size_t pos, int& page) {
    if (!number_at(text, pos, 2, 1, kPageCount, page)) return false;
    --page;
    return true;
}

bool is_upper_hex(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

int choice_index(const Choices& choices, int count, std::string_view text) {
    for (int v = 0; v < count; ++v) {
        if (choices[static_cast<std::size_t>(v)] == text) return v;
    }
    return -1;
}

// One page's value of a page command or of one field of an all-pages command.
bool page_value(const PageCommandRow& row, std::string_view text, bool all_pages, int& first, int& second) {
    switch (row.kind) {
        case PageFieldKind::kChoice:
            if (all_pages) {
                first = choice_value(row.choices, row.choice_count, text[0], -1);
            } else {
                first = choice_index(row.choices, row.choice_count, text);
            }
            return first >= 0;
        case PageFieldKind::kTwoDigits:
            return number_at(text, 0, 2, row.min, row.max, first);
        case PageFieldKind::kColours:
            return number_at(text, 0, 1, row.min, row.max, first) &&
                   number_at(text, 1, 1, row.min, row.max, second);
    }
    return false;
}

void store_page_value(const PageCommandRow& row, PageSettings& page, int first, int second) {
    if (row.kind == PageFieldKind::kColours) {
        page.char_colour = first;
        page.edge_colour = second;
    } else {
        page.*row.field = first;
    }
}

const GlyphSize* glyph_size_of_register(std::string_view mnemonic) {
    for (const GlyphSize* size : kGlyphSizes) {
        if (size->register_mnemonic == mnemonic) return size;
    }
    return nullptr;
}

const GlyphSize* glyph_size_of_read(std::string_view mnemonic) {
    for (const GlyphSize* size : kGlyphSizes) {
        if (size->read_mnemonic == mnemonic) return size;
    }
    return nullptr;
}

}  // namespace

VirtualUnit::VirtualUnit() {
    settings_.network.version_number = "1.00";
    settings_.network.mac_address = "02-00-00-00-02-30";
    for (TitleCodes& codes : title_codes_) codes.fill(kIdeographicSpace);
}

std::vector<std::string> VirtualUnit::receive(std::string_view bytes) {
    std::vector<std::string> answers;
    assembler_.feed(bytes, [this, &answers](const std::string& line) {
        if (std::optional<std::string> reply = answer_line(line)) answers.push_back(std::move(*reply));
    });
    return answers;
}

std::optional<std::string> VirtualUnit::answer_line(std::string_view line) {
    std::optional<std::string> reply = handle_line(line);
    if (observer) observer(line, reply);
    return reply;
}

std::optional<std::string> VirtualUnit::handle_line(std::string_view line) {
    std::string_view command = without_line_end(line);
    std::string prefix;
    bool broadcast = false;
    if (rs485) {
        if (command.size() < 2) return std::nullopt;
        const std::string_view target = command.substr(0, 2);
        int addressed = 0;
        if (target == "FF") {
            broadcast = true;
        } else if (!read_digits(target, 0, 2, addressed) || addressed != address) {
            return std::nullopt;  // another unit's line
        }
        prefix = std::string(target);
        command.remove_prefix(2);
    }

    const int count = ++lines_received_;
    const bool inject_error =
        faults.error_at_line > 0 &&
        (count == faults.error_at_line || (faults.error_every_line && count > faults.error_at_line));
    std::optional<std::string> reply =
        inject_error ? std::optional<std::string>(faults.error_reply) : answer(command);
    if (broadcast || !reply || faults.silent || count == faults.silent_at_line) return std::nullopt;
    // Stands for noise or another device's answer: no address of this unit in front.
    if (count == faults.stray_at_line) return faults.stray_answer + "\r\n";
    return prefix + *reply + "\r\n";
}

std::optional<std::string> VirtualUnit::answer(std::string_view command) {
    if (std::optional<std::string> data = answer_read(command)) return data;
    if (!faults.forget_prefix.empty() && command.starts_with(faults.forget_prefix)) return "GO";
    return apply(command) ? "GO" : "E3";
}

std::optional<std::string> VirtualUnit::answer_read(std::string_view command) {
    for (const ReadCommandRow& row : kReadCommands) {
        if (command == row.read) return data_line(row.reply);
    }
    int page = 0;
    if (command.size() == 5 && starts_with(command, "RCA") && page_at(command, 3, page)) {
        return without_end(build_title_command(title_codes_[static_cast<std::size_t>(page)], page));
    }
    int day = 0;
    if (command.size() == 5 && starts_with(command, "RSD") &&
        number_at(command, 3, 2, 1, kScheduleDays, day)) {
        return without_end(build_schedule_day(settings_, day - 1));
    }
    int code = 0;
    if (command.size() == 9) {
        const GlyphSize* size = glyph_size_of_read(command.substr(0, 5));
        if (size != nullptr && is_upper_hex(command.substr(5)) && read_hex(command, 5, 4, code)) {
            return bitmap_line(*size, static_cast<std::uint16_t>(code));
        }
    }
    return std::nullopt;
}

std::optional<std::string> VirtualUnit::data_line(std::string_view mnemonic) const {
    for (const PageCommandRow& row : kPageCommands) {
        if (row.mnemonic == mnemonic) return without_end(build_all_pages_command(settings_, row.command));
    }
    for (const SettingCommandRow& row : kSettingCommands) {
        if (row.mnemonic == mnemonic) return without_end(build_setting_command(settings_, row.command));
    }
    for (const AddressCommandRow& row : kAddressCommands) {
        if (row.mnemonic == mnemonic) return without_end(build_address_command(settings_, row.command));
    }
    if (mnemonic == "ACA") return without_end(build_connector_pages(settings_, ConnectorCommand::ACA));
    if (mnemonic == "ADT") return without_end(build_alarm_hold_line(settings_));
    if (mnemonic == "POSP") return without_end(build_power_on_page(settings_));
    if (mnemonic == "VN") return without_end(build_version_line(settings_));
    if (mnemonic == "EMA") return without_end(build_mac_line(settings_));
    if (mnemonic == "EPN") {
        const std::optional<std::string> port = build_port_number(settings_);
        return port ? without_end(*port) : std::string("EPN09004");
    }
    return std::nullopt;
}

// A registered glyph for its own code; for any other code a pattern of the unit's font stand-in: a frame
// with the code's bits inside, so that different sample characters give different glyphs.
std::string VirtualUnit::bitmap_line(const GlyphSize& size, std::uint16_t code) const {
    std::string out(size.data_prefix);
    append_hex4(out, code);
    const int slot = glyph_slot(code);
    if (slot >= 0 && slot < size.slot_count) {
        out += glyph_bank(glyphs_, size)[static_cast<std::size_t>(slot)].substr(
            0, static_cast<std::size_t>(size.digits));
        return out;
    }
    std::string text(static_cast<std::size_t>(size.digits), '0');
    const int last = size.dots - 1;
    for (int y = 0; y < size.dots; ++y) {
        for (int x = 0; x < size.dots; ++x) {
            const bool frame = x == 0 || y == 0 || x == last || y == last;
            const bool bit = ((code >> ((x / 3 + y / 3) % 16)) & 1) != 0 && (x + y) % 2 == 0;
            set_glyph_dot(text, size, x, y, frame || bit);
        }
    }
    return out + text;
}

bool VirtualUnit::apply(std::string_view command) {
    return apply_other_command(command) || apply_page_command(command) || apply_setting_command(command);
}

bool VirtualUnit::apply_page_command(std::string_view command) {
    for (const PageCommandRow& row : kPageCommands) {
        if (!starts_with(command, row.mnemonic)) continue;
        const std::string_view rest = command.substr(row.mnemonic.size());
        const auto width = static_cast<std::size_t>(all_pages_field_width(row));
        int first = 0;
        int second = 0;
        if (rest.size() == width * kPageCount) {
            std::array<std::pair<int, int>, kPageCount> values{};
            for (std::size_t k = 0; k < values.size(); ++k) {
                if (!page_value(row, rest.substr(width * k, width), true, first, second)) return false;
                values[k] = {first, second};
            }
            for (std::size_t k = 0; k < values.size(); ++k) {
                store_page_value(row, settings_.pages[k], values[k].first, values[k].second);
            }
            return true;
        }
        const std::size_t value_width = row.kind == PageFieldKind::kChoice ? row.choices[0].size() : 2;
        int page = 0;
        if (rest.size() == 2 + value_width && page_at(rest, 0, page) &&
            page_value(row, rest.substr(2), false, first, second)) {
            store_page_value(row, settings_.pages[static_cast<std::size_t>(page)], first, second);
            return true;
        }
    }
    return false;
}

bool VirtualUnit::apply_setting_command(std::string_view command) {
    for (const SettingCommandRow& row : kSettingCommands) {
        if (!starts_with(command, row.mnemonic)) continue;
        const int value = choice_index(row.choices, row.choice_count, command.substr(row.mnemonic.size()));
        if (value < 0) continue;
        setting_field(settings_, row) = value;
        return true;
    }
    for (const DateCommandRow& row : kDateCommands) {
        int value = 0;
        if (command.size() != 5 || !starts_with(command, row.mnemonic) ||
            !number_at(command, 3, 2, row.min, row.max, value)) {
            continue;
        }
        int* fields[] = {&clock_.year, &clock_.month,  &clock_.day,
                         &clock_.hour, &clock_.minute, &clock_.second};
        *fields[static_cast<int>(row.command)] = value;
        return true;
    }
    for (const AddressCommandRow& row : kAddressCommands) {
        if (command.size() != kAddressLineLength || !starts_with(command, row.mnemonic)) continue;
        IPv4Octets octets{};
        for (std::size_t i = 0; i < octets.size(); ++i) {
            if (!number_at(command, 3 + 4 * i, 3, 0, 255, octets[i])) return false;
            if (i < 3 && command[6 + 4 * i] != '.') return false;
        }
        settings_.network.*row.field = octets;
        return true;
    }
    return false;
}

bool VirtualUnit::apply_other_command(std::string_view command) {
    int value = 0;
    int page = 0;
    if (command == "TSA") {
        ++clock_.corrections;
        return true;
    }
    if (command == "IDON" || command == "IDOF") {
        display_on_ = command == "IDON";
        return true;
    }
    if (command == "PAS") {
        display_page_ = kAutoSwitchPage;
        return true;
    }
    if (command.size() == 3 && command[0] == 'P' && page_at(command, 1, page)) {
        display_page_ = page;
        return true;
    }
    if (command.size() == 6 && starts_with(command, "ADT") && number_at(command, 3, 3, 3, 999, value)) {
        settings_.alarm_hold_time = std::string(command.substr(3));
        return true;
    }
    if (command.size() == kConnectorLineLength &&
        (starts_with(command, "ACA") || starts_with(command, "RCA"))) {
        std::array<int, kConnectorCount> pages{};
        for (std::size_t k = 0; k < pages.size(); ++k) {
            if (!page_at(command, 3 + 2 * k, pages[k])) return false;
        }
        settings_.connector_pages = pages;
        return true;
    }
    if (command == "POSPAS") {
        settings_.power_on_page = kAutoSwitchPage;
        return true;
    }
    if (command.size() == 6 && starts_with(command, "POSP") && page_at(command, 4, page)) {
        settings_.power_on_page = page;
        return true;
    }
    if (command.size() == kScheduleLineLength && starts_with(command, "SD")) {
        int day = 0;
        if (!number_at(command, 2, 2, 1, kScheduleDays, day)) return false;
        std::array<ScheduleEntry, kScheduleEntries> entries{};
        for (std::size_t e = 0; e < entries.size(); ++e) {
            const std::size_t at = 4 + 6 * e;
            ScheduleEntry& entry = entries[e];
            if (!number_at(command, at, 2, 0, 23, entry.hour) ||
                !number_at(command, at + 2, 2, 0, 59, entry.minute)) {
                return false;
            }
            if (command.substr(at + 4, 2) == "AS") {
                entry.page = kAutoSwitchPage;
            } else if (number_at(command, at + 4, 2, 0, kPageCount, value)) {
                entry.page = value == 0 ? kScheduleOffPage : value - 1;
            } else {
                return false;
            }
        }
        settings_.schedule[static_cast<std::size_t>(day - 1)] = entries;
        return true;
    }
    if (command.size() == kTitleLineLength && starts_with(command, "CA") && page_at(command, 2, page)) {
        if (!is_upper_hex(command.substr(4))) return false;
        TitleCodes codes{};
        for (std::size_t k = 0; k < codes.size(); ++k) {
            read_hex(command, 4 + 4 * k, 4, value);
            codes[k] = static_cast<std::uint16_t>(value);
        }
        store_title(page, codes);
        return true;
    }
    if (command.size() == kPortLineLength && starts_with(command, "EPN") &&
        read_digits(command, 3, 5, value)) {
        settings_.network.port_number = std::string(command.substr(3));
        return true;
    }
    if (const GlyphSize* size = glyph_size_of_register(command.substr(0, 3))) {
        int number = 0;
        if (command.size() != 6 + static_cast<std::size_t>(size->digits) ||
            !number_at(command, 3, 3, 1, size->slot_count, number) || !is_upper_hex(command.substr(6))) {
            return false;
        }
        std::string& slot = glyph_bank(glyphs_, *size)[static_cast<std::size_t>(number - 1)];
        slot.replace(0, static_cast<std::size_t>(size->digits), command.substr(6));
        return true;
    }
    if (command.size() == 11 && command[0] == 'G' && command[4] == 'P' && command[7] == 'I') {
        int number = 0;
        int position = 0;
        if (!number_at(command, 1, 3, 1, kSmall.slot_count, number) || !page_at(command, 5, page) ||
            !number_at(command, 8, 3, 1, kTitleCells, position)) {
            return false;
        }
        TitleCodes codes = title_codes_[static_cast<std::size_t>(page)];
        codes[static_cast<std::size_t>(position - 1)] = glyph_code(number - 1);
        store_title(page, codes);
        return true;
    }
    return false;
}

void VirtualUnit::store_title(int page, const TitleCodes& codes) {
    title_codes_[static_cast<std::size_t>(page)] = codes;
    settings_.pages[static_cast<std::size_t>(page)].title = decode_title_codes(codes);
}

bool VirtualUnit::set_title(int page, std::string_view title) {
    if (page < 0 || page >= kPageCount) return false;
    const std::optional<TitleCodes> codes = encode_title(title);
    if (!codes) return false;
    store_title(page, *codes);
    return true;
}

bool VirtualUnit::load(const std::filesystem::path& document) {
    std::string bytes;
    if (!read_whole_file(document, bytes)) return false;
    read_document(settings_, bytes);
    for (int page = 0; page < kPageCount; ++page) {
        const std::string title = settings_.pages[static_cast<std::size_t>(page)].title;
        if (!set_title(page, title)) {
            TitleCodes blank{};
            blank.fill(kIdeographicSpace);
            store_title(page, blank);
        }
    }
    for (const GlyphSize* size : kGlyphSizes) {
        std::filesystem::path bank = document;
        bank.replace_extension(size->extension);
        std::string text;
        if (read_whole_file(bank, text)) read_bank_text(glyphs_, *size, text);
    }
    return true;
}

bool VirtualUnit::save(const std::filesystem::path& document) const {
    if (!write_file_replacing(document, write_document(settings_))) return false;
    for (const GlyphSize* size : kGlyphSizes) {
        std::filesystem::path bank = document;
        bank.replace_extension(size->extension);
        if (!write_file_replacing(bank, bank_file_text(glyphs_, *size))) return false;
    }
    return true;
}

std::vector<std::string> answer_pieces(const std::string& answer, int piece_size) {
    if (piece_size <= 0 || answer.size() <= static_cast<std::size_t>(piece_size)) return {answer};
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < answer.size(); at += static_cast<std::size_t>(piece_size)) {
        pieces.push_back(answer.substr(at, static_cast<std::size_t>(piece_size)));
    }
    return pieces;
}

}  // namespace tvx
