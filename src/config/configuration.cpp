#include "config/configuration.h"

#include "config/ini_profile.h"

namespace tvx {
namespace {

constexpr std::size_t kValueBuffer = 10;
constexpr std::size_t kPortBuffer = 6;
// A default no key's value can be: tells a missing key from one that holds "0".
constexpr char kAbsent[] = "\x01";

int read_choice(std::string_view text, std::string_view key, int count) {
    const int value = text_to_int(profile_string_from_text(text, kIniSection, key, "0", kValueBuffer));
    return value >= 0 && value < count ? value : 0;
}

}  // namespace

std::string host_key(int index, int octet) {
    std::string key = "ip00_0";
    key[2] = static_cast<char>('0' + index / 10);
    key[3] = static_cast<char>('0' + index % 10);
    key[5] = static_cast<char>('0' + octet);
    return key;
}

void load_configuration(Configuration& config, std::string& port_number, const std::filesystem::path& path) {
    config.ini_path = path;
    std::string text;
    config.unreadable = !read_profile_text(path, text);
    const auto number = [&](std::string_view key) {
        return text_to_int(profile_string_from_text(text, kIniSection, key, "0", kValueBuffer));
    };

    config.com_port = read_choice(text, "com_port", 6);
    config.rs_control = read_choice(text, "rs_control", 2);
    config.link_interface = read_choice(text, "Interface", 2);
    port_number = profile_string_from_text(text, kIniSection, "p_port_number", "09004", kPortBuffer);
    config.client_server = read_choice(text, "ClientServer", 2);
    config.select_number = number("select_number");
    config.load_notes.clear();
    const int stored_count = number("list_count");
    config.list_count = stored_count < 0 ? 0 : stored_count;
    if (config.list_count > kMaxHosts) {
        config.list_count = kMaxHosts;
        config.load_notes.push_back("list_count=" + std::to_string(stored_count) + " は上限の " +
                                    std::to_string(kMaxHosts) + " 件を超えています。最初の " +
                                    std::to_string(kMaxHosts) + " 件のホストを読み込みました。");
    }
    config.host_list = {};
    int last_stored = -1;
    for (int host = 0; host < config.list_count; ++host) {
        for (int octet = 0; octet < 4; ++octet) {
            const std::string key = host_key(host, octet);
            if (profile_string_from_text(text, kIniSection, key, kAbsent, kValueBuffer) != kAbsent)
                last_stored = host;
            config.host_list[host][octet] = static_cast<std::uint8_t>(number(key) & 0xFF);
        }
    }
    if (last_stored + 1 < config.list_count) {
        config.load_notes.push_back("list_count=" + std::to_string(stored_count) +
                                    " ですが、アドレスのあるホストは " + std::to_string(last_stored + 1) +
                                    " 件でした。" + std::to_string(last_stored + 1) +
                                    " 件として読み込みました。");
        config.list_count = last_stored + 1;
    }
    config.pace = read_choice(text, "pace", 2);
    for (std::size_t kind = 0; kind < kFileKindCount; ++kind) {
        config.recent_folders[kind] = profile_string_from_text(
            text, kIniSection, recent_folder_key(static_cast<FileKind>(kind)), "", kRecentFolderLength + 1);
    }
    config.recent_files = recent_files_from_text(text);
}

namespace {

bool write_value(const Configuration& config, std::string_view key, std::string_view text) {
    return !config.ini_path.empty() && !config.unreadable &&
           write_profile_string(config.ini_path, kIniSection, key, text);
}

bool reported(const Configuration& config, bool ok) {
    if (!ok && !config.ini_path.empty() && config.on_write_failed) config.on_write_failed();
    return ok;
}

}  // namespace

bool write_config_value(const Configuration& config, std::string_view key, std::string_view text) {
    return reported(config, write_value(config, key, text));
}

bool write_host(const Configuration& config, int index) {
    if (index < 0 || index >= kMaxHosts) return false;
    bool ok = true;
    for (int octet = 0; octet < 4; ++octet) {
        ok =
            write_value(config, host_key(index, octet), std::to_string(config.host_list[index][octet])) && ok;
    }
    return reported(config, ok);
}

}  // namespace tvx
