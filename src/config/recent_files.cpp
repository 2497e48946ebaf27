#include "config/recent_files.h"

#include <algorithm>
#include <utility>

#include "config/configuration.h"
#include "config/ini_profile.h"

namespace tvx {
namespace {

bool storable(std::string_view path) {
    return !path.empty() && path.size() <= kRecentFileLength &&
           path.find_first_of("\r\n") == std::string_view::npos;
}

// Every key at once, the unused ones emptied, so the file never holds a list half old and half new.
void write_recent_files(const Configuration& config) {
    if (config.ini_path.empty() || config.unreadable) return;
    std::vector<std::pair<std::string, std::string>> values;
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        values.emplace_back(recent_file_key(i),
                            i < config.recent_files.size() ? config.recent_files[i] : std::string());
    }
    write_profile_strings(config.ini_path, kIniSection, values);
}

}  // namespace

std::string recent_file_key(std::size_t index) {
    return "recent_file" + std::to_string(index + 1);
}

RecentFiles recent_files_from_text(std::string_view ini_text) {
    RecentFiles files;
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        std::string path =
            profile_string_from_text(ini_text, kIniSection, recent_file_key(i), "", kRecentFileLength + 1);
        if (path.empty() || std::find(files.begin(), files.end(), path) != files.end()) continue;
        files.push_back(std::move(path));
    }
    return files;
}

void remember_recent_file(Configuration& config, std::string_view path) {
    if (!storable(path)) return;
    RecentFiles& files = config.recent_files;
    if (!files.empty() && files.front() == path) return;
    std::erase(files, path);
    files.insert(files.begin(), std::string(path));
    if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
    write_recent_files(config);
}

bool forget_recent_file(Configuration& config, std::string_view path) {
    if (std::erase(config.recent_files, path) == 0) return false;
    write_recent_files(config);
    return true;
}

}  // namespace tvx
