#include "cli/unit_backup.h"

#include <filesystem>

#include "cli/document_diff.h"
#include "cli/glyph_offline.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

std::string in_folder(const std::string& dir, std::string_view name) {
    return path_to_utf8(path_from_utf8(dir) / path_from_utf8(name));
}

}  // namespace

std::string backup_document_path(const std::string& dir) {
    return in_folder(dir, "unit.dat");
}

std::string backup_bank_path(const std::string& dir, const GlyphSize& size) {
    return in_folder(dir, "unit" + std::string(size.extension));
}

std::string backup_manifest_path(const std::string& dir) {
    return in_folder(dir, "manifest.json");
}

bool read_backup(const std::string& dir, SettingsModel& settings, GlyphModel& glyphs, Console& console) {
    reset_settings(settings);
    reset_glyphs(glyphs);
    // The manifest is written last and taken away first: without it the folder is not a whole backup
    // (one that failed part way may hold files of two backups).
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_from_utf8(backup_manifest_path(dir)), ec)) {
        console.message("tvx230-cli: " + dir + ": not a whole backup: no manifest.json");
        return false;
    }
    if (!read_document_file(backup_document_path(dir), settings, console)) return false;
    for (const GlyphSize* size : kGlyphSizes) {
        if (!read_bank_strict(backup_bank_path(dir, *size), *size, glyphs, console)) return false;
    }
    return true;
}

std::string write_backup(const std::string& dir, const SettingsModel& settings, const GlyphModel& glyphs,
                         const std::string& manifest) {
    std::error_code ec;
    std::filesystem::create_directories(path_from_utf8(dir), ec);
    if (!std::filesystem::is_directory(path_from_utf8(dir), ec)) return dir;
    // An earlier backup's manifest goes first, so that a write failing part way never leaves files of two
    // backups that pass for one.
    std::filesystem::remove(path_from_utf8(backup_manifest_path(dir)), ec);
    if (ec) return backup_manifest_path(dir);
    if (!write_file_replacing(path_from_utf8(backup_document_path(dir)), write_document(settings)))
        return backup_document_path(dir);
    for (const GlyphSize* size : kGlyphSizes) {
        const std::string path = backup_bank_path(dir, *size);
        if (!write_file_replacing(path_from_utf8(path), bank_file_text(glyphs, *size))) return path;
    }
    if (!write_file_replacing(path_from_utf8(backup_manifest_path(dir)), manifest)) return backup_manifest_path(dir);
    return {};
}

bool backup_folder_usable(const std::string& dir) {
    std::error_code ec;
    std::filesystem::path path = path_from_utf8(dir).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();  // "site/" names the folder "site"
    if (path.empty() || std::filesystem::is_directory(path, ec)) return true;
    if (std::filesystem::exists(path, ec)) return false;
    const std::filesystem::path parent = path.has_parent_path() ? path.parent_path() : ".";
    return std::filesystem::is_directory(parent, ec);
}

}  // namespace tvx
