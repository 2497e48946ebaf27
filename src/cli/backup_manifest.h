#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

// A backup's "manifest.json": what restore checks before it sends anything, so a backup that was cut
// short, damaged or edited by hand is refused with its reason instead of half sent.
//
//   {"format": 1, "cli_version": "1.0.0", "time": "2024-05-01T09:30:00Z", "version": "2.10",
//    "link": {"host": "10.0.0.5", "port": 9004},
//    "files": {"unit.dat": {"size": 40213, "sha256": "9f86d0..."}, "unit.tll": {...}, ...}}
//
// "time" is UTC in ISO 8601, "version" the unit's version answer, "link" how the unit was reached, and
// "files" every other file of the backup with its size in bytes and its SHA-256 in lowercase hex.

// The layout this program writes; a manifest of another format is refused rather than guessed at.
inline constexpr int kManifestFormat = 1;

// What a manifest says of the unit and of the run that made the backup.
struct ManifestHead {
    std::string unit_version;  // the unit's version answer
    QJsonObject link;
};

// One file of a backup as written, or as found on the disk.
struct BackupFile {
    std::string name;
    std::string bytes;
};

// The manifest of files written now, with the CLI's version.
std::string manifest_text(const ManifestHead& head, const std::vector<BackupFile>& files,
                          const QDateTime& time = QDateTime::currentDateTimeUtc());

// A manifest's record of one file.
struct ManifestEntry {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;
};

// Reads a manifest strictly: valid JSON, this format, every field of its kind, and exactly the files
// named (no more, no fewer). The entries in the order of names, or the reason it is refused.
struct ManifestReading {
    std::vector<ManifestEntry> files;
    std::string problem;  // empty when the manifest was read
};
ManifestReading read_manifest(std::string_view text, const std::vector<std::string>& names);

// Why a file found on the disk is not the one the manifest names; nothing when its size and digest match.
std::optional<std::string> file_mismatch(const ManifestEntry& entry, const std::string& bytes);

}  // namespace tvx
