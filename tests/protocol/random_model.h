#pragma once

#include <random>
#include <string>

#include "model/settings_model.h"
#include "protocol/title_encoding.h"

namespace tvx::testing {

// A model with every unit setting drawn at random within its range. Titles mix kanji, kana, NEC special
// characters, IBM extensions in their NEC-selected form, glyph cells (those with zero, CR and LF bytes
// included) and line breaks, so that they come back from a unit byte for byte.
inline SettingsModel random_model(unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int min, int max) {
        return std::uniform_int_distribution<int>(min, max)(random);
    };
    SettingsModel m;
    const char* const cells[] = {
        "\x93\xFA", "\x96\x7B", "\x82\xA0", "\x83\x41", "\x88\x9F", "\xE9\x9C",  // 日 本 あ ア 亜 (level 2)
        "\x87\x40", "\x87\x54", "\x87\x82",                                      // ① Ⅰ №
        "\xED\x40", "\xEE\xEF", "\x81\x40",                                      // IBM extensions, space
        "\x10\x20", "\x11\x39", "\x12\xDC", "\x13\x05", "\r\n",                  // glyph cells, line break
    };
    const std::string special_cells[] = {std::string("\x11\x00", 2),
                                         std::string("\x12\x00", 2),
                                         std::string("\x13\x00", 2),
                                         "\x11\x0A",
                                         "\x11\x0D",
                                         "\x12\x0A",
                                         "\x12\x0D",
                                         "\x10\x0A",
                                         "\x13\x0D"};
    for (PageSettings& page : m.pages) {
        const int length = pick(0, kTitleCells);
        page.title.clear();
        for (int i = 0; i < length; ++i) {
            if (pick(0, 9) == 0) {
                page.title += special_cells[pick(0, 8)];
            } else {
                page.title += cells[pick(0, 16)];
            }
        }
        // The unit drops trailing spaces; a title never ends in one.
        while (page.title.size() >= 2 && page.title.compare(page.title.size() - 2, 2, "\x81\x40") == 0) {
            page.title.resize(page.title.size() - 2);
        }
        for (const PageFieldRule& rule : kPageFields) page.*rule.member = pick(rule.min, rule.max);
    }
    for (auto& day : m.schedule) {
        for (ScheduleEntry& entry : day) entry = {pick(0, 23), pick(0, 59), pick(0, 65)};
    }
    m.date_display = pick(0, 1);
    m.date_display_range = pick(0, 7);
    m.date_display_size = pick(0, 1);
    m.alarm_mode = pick(0, 1);
    m.alarm_hold_time = std::to_string(pick(3, 999));
    while (m.alarm_hold_time.size() < 3) m.alarm_hold_time.insert(0, "0");
    m.alarm_polarity = pick(0, 1);
    m.alarm_display = pick(0, 1);
    m.alarm_return = pick(0, 1);
    for (int& page : m.connector_pages) page = pick(0, 63);
    m.remote_mode = pick(0, 2);
    m.connector_input = pick(0, 1);
    m.power_on_page = pick(0, 64);
    m.video_loss_background = pick(0, 1);
    for (IPv4Octets* address :
         {&m.network.ip_address, &m.network.gateway_address, &m.network.active_address}) {
        for (int& octet : *address) octet = pick(0, 255);
    }
    m.network.subnet_class = pick(0, 2);
    m.network.port_number = std::to_string(pick(10000, 65535));
    m.network.connection_try = pick(0, 1);
    m.network.keep_alive = pick(0, 1);
    m.network.time_register = pick(0, 5);
    return m;
}

// A random model whose every field goes to a unit with send-all and comes back with read-back: the
// network settings are neither sent nor read, so they keep their defaults.
inline SettingsModel round_trip_model(unsigned seed) {
    SettingsModel m = random_model(seed);
    m.network = NetworkSettings{};
    return m;
}

}  // namespace tvx::testing
