#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/backup_manifest.h"
#include "cli/console.h"
#include "glyphs/glyph_model.h"
#include "model/settings_model.h"

namespace tvx {

// A whole unit in one folder: the settings document "unit.dat", one bank file per size beside it
// ("unit.tll", "unit.tlm", "unit.tls", the names the virtual unit's --document looks for) and
// "manifest.json" with the size and SHA-256 of each of them.
std::string backup_document_path(const std::string& dir);
std::string backup_bank_path(const std::string& dir, const GlyphSize& size);
std::string backup_manifest_path(const std::string& dir);

// Reads a backup strictly: the manifest first, then every file it lists, each of the size and digest the
// manifest gives, and each a whole document or bank file. A message on the console naming what is wrong
// (a file missing, changed since the backup, a manifest damaged or edited) when it is not.
bool read_backup(const std::string& dir, SettingsModel& settings, GlyphModel& glyphs, Console& console);

// Where a file or a backup could not be written, and the system's cause.
struct WriteFailure {
    std::string path;
    std::error_code error;
};

// Writes the backup into a new folder beside dir, every file and the manifest synced to the disk, and
// only then puts it in dir's place; an earlier backup in dir stays whole until that moment and is removed
// after it. On failure dir is as it was and nothing is left beside it.
std::optional<WriteFailure> write_backup(const std::string& dir, const SettingsModel& settings,
                                         const GlyphModel& glyphs, const ManifestHead& head);

// What in dir is no file of a backup, by name; replacing the folder would take these with it, so a
// folder that holds any is not written over.
std::vector<std::string> foreign_entries(const std::string& dir);

}  // namespace tvx
