#include "cli/unit_backup.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "config/path_text.h"
#include "cli/cli_notices.h"
#include "cli/document_diff.h"
#include "cli/glyph_offline.h"
#include "config/input_file.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = "tvx230-cli: ";
constexpr std::string_view kManifestName = "manifest.json";
constexpr std::string_view kDocumentName = "unit.dat";

std::string in_folder(const std::string& dir, std::string_view name) {
    return path_to_utf8(path_from_utf8(dir) / path_from_utf8(name));
}

std::string bank_name(const GlyphSize& size) {
    return "unit" + std::string(size.extension);
}

// The files a manifest lists, in the order they are written and read.
std::vector<std::string> listed_names() {
    std::vector<std::string> names{std::string(kDocumentName)};
    for (const GlyphSize* size : kGlyphSizes) names.push_back(bank_name(*size));
    return names;
}

}  // namespace

std::string backup_document_path(const std::string& dir) {
    return in_folder(dir, kDocumentName);
}

std::string backup_bank_path(const std::string& dir, const GlyphSize& size) {
    return in_folder(dir, bank_name(size));
}

std::string backup_manifest_path(const std::string& dir) {
    return in_folder(dir, kManifestName);
}

bool read_backup(const std::string& dir, SettingsModel& settings, GlyphModel& glyphs, Console& console) {
    reset_settings(settings);
    reset_glyphs(glyphs);
    const auto refuse = [&console](const std::string& why) {
        console.message(std::string(kPrefix) + why);
        return false;
    };
    // Without its manifest a folder is no whole backup; it is read first and every file checked against
    // it, so nothing is sent from a backup that was cut short, damaged or edited since.
    const std::string manifest_path = backup_manifest_path(dir);
    std::string manifest;
    if (const InputFileRead read = read_input_file(path_from_utf8(manifest_path), manifest); !read) {
        if (read.status == InputFileStatus::kNotFound)
            return refuse(dir + ": not a whole backup: no manifest.json");
        return refuse(input_file_refusal(manifest_path, read.status));
    }
    const ManifestReading reading = read_manifest(manifest, listed_names());
    if (!reading.problem.empty()) return refuse(manifest_path + ": " + reading.problem);

    std::vector<std::string> contents;
    for (const ManifestEntry& entry : reading.files) {
        const std::string path = in_folder(dir, entry.name);
        std::string bytes;
        if (const InputFileRead read = read_input_file(path_from_utf8(path), bytes); !read)
            return refuse(dir + ": not a whole backup: " + input_file_refusal(entry.name, read.status));
        if (const auto mismatch = file_mismatch(entry, bytes))
            return refuse(dir + ": not the backup its manifest lists: " + *mismatch);
        contents.push_back(std::move(bytes));
    }
    // The bytes checked are the bytes read: a file changed meanwhile cannot slip in between.
    if (!read_document_text(backup_document_path(dir), contents[0], settings, console)) return false;
    for (std::size_t i = 0; i < std::size(kGlyphSizes); ++i) {
        const GlyphSize& size = *kGlyphSizes[i];
        if (!read_bank_text(backup_bank_path(dir, size), contents[i + 1], size, glyphs, console))
            return false;
    }
    return true;
}

std::optional<WriteFailure> write_backup(const std::string& dir, const SettingsModel& settings,
                                         const GlyphModel& glyphs, const ManifestHead& head) {
    if (!foreign_entries(dir).empty())
        return WriteFailure{dir, std::make_error_code(std::errc::directory_not_empty)};
    std::vector<BackupFile> files{{std::string(kDocumentName), write_document(settings)}};
    for (const GlyphSize* size : kGlyphSizes)
        files.push_back({bank_name(*size), bank_file_text(glyphs, *size)});

    std::error_code error;
    const fs::path fresh = create_folder_beside(path_from_utf8(dir), error);
    if (fresh.empty()) return WriteFailure{dir, error};
    const auto give_up = [&fresh](std::string path, std::error_code cause) {
        std::error_code ignored;
        fs::remove_all(fresh, ignored);
        return WriteFailure{std::move(path), cause};
    };
    for (const BackupFile& file : files) {
        if (!write_file_replacing(fresh / file.name, file.bytes, error))
            return give_up(in_folder(dir, file.name), error);
    }
    if (!write_file_replacing(fresh / std::string(kManifestName), manifest_text(head, files), error))
        return give_up(backup_manifest_path(dir), error);
    if (!replace_folder(fresh, path_from_utf8(dir), error)) return give_up(dir, error);
    return std::nullopt;
}

std::vector<std::string> foreign_entries(const std::string& dir) {
    std::vector<std::string> names = listed_names();
    names.emplace_back(kManifestName);
    std::vector<std::string> foreign;
    std::error_code ec;
    if (!fs::is_directory(path_from_utf8(dir), ec)) return foreign;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = path_to_utf8(it->path().filename());
        // Only the backup's own files, as files: a folder named "unit.dat" is not one of them.
        if (std::find(names.begin(), names.end(), name) == names.end() || !it->is_regular_file(ec))
            foreign.push_back(name);
    }
    std::sort(foreign.begin(), foreign.end());
    return foreign;
}

}  // namespace tvx
