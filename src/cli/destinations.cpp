#include "cli/destinations.h"

#include <QFileInfo>
#include <filesystem>
#include <system_error>

#include "cli/unit_backup.h"
#include "config/path_text.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

// The folder a new file or folder is made in, beside path, links followed to where the writer writes.
fs::path where_written(const fs::path& path) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path, ec);
    const fs::path& named = ec ? path : real;
    return named.has_parent_path() ? named.parent_path() : fs::path(".");
}

// The folder new files are made in must be there and writable by this user.
std::optional<std::string> folder_problem(const std::string& path, const fs::path& folder) {
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (status.type() == fs::file_type::not_found)
        return path + ": the folder " + path_to_utf8(folder) + " does not exist";
    if (!fs::is_directory(status)) return path + ": " + path_to_utf8(folder) + " is not a folder";
    if (!QFileInfo(QString::fromStdString(path_to_utf8(folder))).isWritable())
        return path + ": the folder " + path_to_utf8(folder) + " cannot be written to (permission denied)";
    return std::nullopt;
}

std::optional<std::string> file_problem(const std::string& path) {
    if (path.empty()) return std::string("an empty file name");
    const fs::path named = path_from_utf8(path);
    if (!named.has_filename()) return path + ": names a folder, not a file";
    std::error_code ec;
    const fs::file_status status = fs::status(named, ec);
    if (fs::is_directory(status)) return path + ": is a folder, not a file";
    if (status.type() != fs::file_type::not_found && !fs::is_regular_file(status))
        return path + ": not a regular file (a device or a FIFO), so nothing is put in its place";
    return folder_problem(path, where_written(named));
}

std::optional<std::string> backup_folder_problem(const std::string& path) {
    if (path.empty()) return std::string("an empty folder name");
    fs::path named = path_from_utf8(path).lexically_normal();
    if (!named.has_filename() && named.has_parent_path()) named = named.parent_path();  // "site/"
    // The folder is replaced whole: "." or ".." would pull the ground from under the run.
    const fs::path name = named.filename();
    if (name.empty() || name == "." || name == "..")
        return path + ": a backup folder is replaced whole; name it by its own name";
    std::error_code ec;
    const fs::file_status status = fs::status(named, ec);
    if (status.type() != fs::file_type::not_found) {
        if (!fs::is_directory(status)) return path + ": is not a folder";
        const std::vector<std::string> foreign = foreign_entries(path_to_utf8(named));
        if (!foreign.empty()) {
            std::string listed;
            for (std::size_t i = 0; i < foreign.size() && i < 3; ++i) listed += (i ? ", " : "") + foreign[i];
            if (foreign.size() > 3) listed += ", ...";
            return path + ": holds what is no file of a backup (" + listed +
                   "); a backup replaces the whole folder, so give an empty folder or an earlier backup";
        }
    }
    return folder_problem(path, where_written(named));
}

}  // namespace

std::optional<std::string> destination_problem(const Destination& destination) {
    return destination.kind == DestinationKind::kFile ? file_problem(destination.path)
                                                      : backup_folder_problem(destination.path);
}

std::optional<std::string> destinations_problem(const std::vector<Destination>& destinations) {
    for (std::size_t i = 0; i < destinations.size(); ++i) {
        if (auto problem = destination_problem(destinations[i])) return problem;
        std::error_code ec;
        const fs::path a = fs::weakly_canonical(path_from_utf8(destinations[i].path), ec);
        for (std::size_t j = 0; j < i; ++j) {
            const fs::path b = fs::weakly_canonical(path_from_utf8(destinations[j].path), ec);
            if (!ec && a == b)
                return destinations[i].path + ": written twice in one run (also as " + destinations[j].path +
                       ")";
        }
    }
    return std::nullopt;
}

}  // namespace tvx
