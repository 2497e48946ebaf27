#pragma once

#include <cstdio>
#include <string>

#include "model/settings_model.h"

namespace tvx::testing {

// Every setting a unit holds, one per line with titles in hexadecimal, so that two models compare as
// texts and a mismatch names the field.
inline std::string dump_unit_settings(const SettingsModel& m) {
    std::string out;
    const auto add = [&out](const std::string& name, int value) {
        out += name + "=" + std::to_string(value) + "\n";
    };
    const auto text = [&out](const std::string& name, const std::string& value) {
        out += name + "=";
        for (unsigned char c : value) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X", c);
            out += hex;
        }
        out += "\n";
    };
    for (int p = 0; p < kPageCount; ++p) {
        const PageSettings& page = m.pages[static_cast<std::size_t>(p)];
        const std::string at = "page" + std::to_string(p + 1) + ".";
        text(at + "title", page.title);
        for (const PageFieldRule& rule : kPageFields) add(at + "field", page.*rule.member);
    }
    for (int d = 0; d < kScheduleDays; ++d) {
        for (int e = 0; e < kScheduleEntries; ++e) {
            const ScheduleEntry& entry = m.schedule[static_cast<std::size_t>(d)][static_cast<std::size_t>(e)];
            const std::string at = "day" + std::to_string(d + 1) + "." + std::to_string(e + 1) + ".";
            add(at + "hour", entry.hour);
            add(at + "minute", entry.minute);
            add(at + "page", entry.page);
        }
    }
    add("date_display", m.date_display);
    add("date_display_range", m.date_display_range);
    add("date_display_size", m.date_display_size);
    add("alarm_mode", m.alarm_mode);
    text("alarm_hold_time", m.alarm_hold_time);
    add("alarm_polarity", m.alarm_polarity);
    add("alarm_display", m.alarm_display);
    add("alarm_return", m.alarm_return);
    for (int page : m.connector_pages) add("connector", page);
    add("remote_mode", m.remote_mode);
    add("connector_input", m.connector_input);
    add("power_on_page", m.power_on_page);
    add("video_loss_background", m.video_loss_background);
    const NetworkSettings& n = m.network;
    for (int octet : n.ip_address) add("ip", octet);
    for (int octet : n.gateway_address) add("gateway", octet);
    for (int octet : n.active_address) add("active", octet);
    add("subnet_class", n.subnet_class);
    text("port_number", n.port_number);
    add("connection_try", n.connection_try);
    add("keep_alive", n.keep_alive);
    add("time_register", n.time_register);
    text("mac_address", n.mac_address);
    text("version_number", n.version_number);
    return out;
}

// The settings a settings document keeps, in the form of dump_unit_settings: the unit's addresses, port,
// MAC address and version are left out, and a title of the letter s alone is the empty title (the
// document's line for both is "s").
inline std::string dump_document_settings(const SettingsModel& m) {
    SettingsModel saved = m;
    for (PageSettings& page : saved.pages) {
        if (page.title == "s") page.title.clear();
    }
    const NetworkSettings defaults;
    saved.network.ip_address = defaults.ip_address;
    saved.network.gateway_address = defaults.gateway_address;
    saved.network.active_address = defaults.active_address;
    saved.network.port_number = defaults.port_number;
    saved.network.mac_address = defaults.mac_address;
    saved.network.version_number = defaults.version_number;
    return dump_unit_settings(saved);
}

// Bytes in hexadecimal, for messages about texts that do not print.
inline std::string hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", c);
        out += pair;
    }
    return out;
}

}  // namespace tvx::testing
