#include "config/recent_folders.h"

#include "config/configuration.h"
#include "config/ini_profile.h"

namespace tvx {

std::string_view recent_folder_key(FileKind kind) {
    switch (kind) {
        case FileKind::kDocument:
            return "folder_document";
        case FileKind::kBank:
            return "folder_bank";
        case FileKind::kBitmap:
            return "folder_bitmap";
        case FileKind::kLog:
            return "folder_log";
    }
    return {};
}

void remember_folder(Configuration& config, FileKind kind, std::string_view folder) {
    if (folder.empty() || folder.size() > kRecentFolderLength ||
        folder.find_first_of("\r\n") != std::string_view::npos) {
        return;
    }
    std::string& kept = config.recent_folders[static_cast<std::size_t>(kind)];
    if (kept == folder) return;
    kept = std::string(folder);
    // Not through write_config_value: a folder that could not be remembered is no reason for a notice.
    if (!config.ini_path.empty() && !config.unreadable) {
        write_profile_string(config.ini_path, kIniSection, recent_folder_key(kind), folder);
    }
}

}  // namespace tvx
