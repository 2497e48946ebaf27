#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tvx {

// Every file and folder a run writes is checked before anything goes to a unit: a run that configures
// its units and only then finds that its report cannot be written has lost the one record of what it did.

enum class DestinationKind {
    kFile,          // replaced whole by a new file beside it (--report, --log, -o)
    kBackupFolder,  // replaced whole by a new folder beside it (backup DIR)
};

struct Destination {
    std::string path;
    DestinationKind kind = DestinationKind::kFile;
};

// Why path cannot take what a run writes there, in the tool's words ("PATH: ..."); nothing when it can.
// A file: not a folder, not a device or pipe, and its folder there and writable. A backup folder: a folder
// or nothing yet, holding only a backup's files, and its parent there and writable.
std::optional<std::string> destination_problem(const Destination& destination);

// The first problem among all of a run's destinations, two of them naming the same file among them.
std::optional<std::string> destinations_problem(const std::vector<Destination>& destinations);

}  // namespace tvx
