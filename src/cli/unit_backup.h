#pragma once

#include <string>

#include "cli/console.h"
#include "glyphs/glyph_model.h"
#include "model/settings_model.h"

namespace tvx {

// A whole unit in one folder: the settings document "unit.dat", one bank file per size beside it
// ("unit.tll", "unit.tlm", "unit.tls", the names the virtual unit's --document looks for) and
// "manifest.json" (the unit's version answer, the time and the link), written last.
std::string backup_document_path(const std::string& dir);
std::string backup_bank_path(const std::string& dir, const GlyphSize& size);
std::string backup_manifest_path(const std::string& dir);

// Reads a backup's document and its three bank files strictly; a message on the console when a file
// cannot be read whole, or when the folder has no manifest (a backup that failed part way).
bool read_backup(const std::string& dir, SettingsModel& settings, GlyphModel& glyphs, Console& console);

// Writes the backup, the folder made when it is not there; every file whole or not at all, an earlier
// manifest taken away first and the new one written after the others. Returns the path that could not be written, or "" when all were.
std::string write_backup(const std::string& dir, const SettingsModel& settings, const GlyphModel& glyphs,
                         const std::string& manifest);

// Whether the backup folder is there or can be made (its parent is a folder).
bool backup_folder_usable(const std::string& dir);

}  // namespace tvx
