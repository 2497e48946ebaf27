#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/recent_files.h"
#include "config/recent_folders.h"

namespace tvx {

inline constexpr char kIniFileName[] = "tvx230.ini";
inline constexpr char kIniSection[] = "TVX-230_Section";

// Host indexes from 130 on would give key characters past "<" (index 130 gives "="), which the key
// syntax cannot hold, so the list stops there.
inline constexpr int kMaxHosts = 130;

using HostAddress = std::array<std::uint8_t, 4>;

// The connection choices kept in the INI file. The TCP port is not among them: it is a setting of the
// unit as well (the settings model's network port_number), so the configuration loads it into that field
// and writes it from there.
struct Configuration {
    int com_port = 0;        // 0..5 for "COM1".."COM6"
    int rs_control = 0;      // 0 RS-232C, 1 RS-485
    int link_interface = 0;  // 0 serial, 1 TCP/IP
    int client_server = 0;   // 0 client, 1 server
    int select_number = 0;   // chosen host (client) or client_table entry (server, -1 none)
    int list_count = 0;      // hosts in host_list
    std::array<HostAddress, kMaxHosts> host_list{};
    // The pace of every sequence (key "pace", which the original does not know and ignores): 0 standard,
    // the original's intervals; 1 fast, each step as soon as the answer to the one before has come.
    int pace = 0;
    RecentFolders recent_folders{};  // where each file dialog starts (keys of this tool only)
    RecentFiles recent_files;        // documents of the "最近使ったファイル" submenu, newest first
    std::filesystem::path ini_path;  // where the file lives; empty writes nothing
    // The file was there at start-up but could not be read: what is in memory are defaults, not the
    // file's choices, so writing any of them would drop the operator's keys. Every write is refused.
    bool unreadable = false;
    // Told once for each write that could not be made (the old file stays as it was); the desktop tool
    // shows the operator the file warning.
    std::function<void()> on_write_failed;
    // What loading had to say about the file (a host count it could not take as written), for the log.
    std::vector<std::string> load_notes;
};

// "ip00_0" with the host index as two characters (tens and units added to "0") and the octet number.
std::string host_key(int index, int octet);

// Reads every key once, in the order the tool always has: a missing file, section or key gives its
// default; a choice outside its list is taken as the default. No stored host is dropped: a host count
// above the bound keeps the hosts up to the bound, and hosts counted but without any address key after
// the last stored one are not counted, so that a new host goes after the stored ones; either is said in
// load_notes. A file that is there but cannot be read gives the defaults too and marks the configuration
// unreadable.
// port_number is the settings model's network port_number.
void load_configuration(Configuration& config, std::string& port_number, const std::filesystem::path& path);

// Writes one key of the tool's section. False when the file could not be written, or was not written
// because the configuration is unreadable.
bool write_config_value(const Configuration& config, std::string_view key, std::string_view text);

// Writes the four octet keys of host index.
bool write_host(const Configuration& config, int index);

}  // namespace tvx
