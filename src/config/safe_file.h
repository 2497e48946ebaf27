#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tvx {

// Reads a whole file as bytes. False when it cannot be opened or read.
bool read_whole_file(const std::filesystem::path& path, std::string& bytes);

// Writes bytes to a new file beside path and then puts it in path's place, so that path holds either its
// old content or the whole new content, never a part, even after a power loss: the new file is created
// under a name nobody else holds, synced to the disk before the rename, and the folder after it. The new
// file keeps the old one's permissions (a new path gets the usual mode). When path is a symbolic link, its
// target is replaced and the link stays. False, with the old file untouched and nothing left beside it,
// when any step fails, path names something other than a regular file (a folder, a device), or the file
// is read-only (no write permission for anyone; on Windows the read-only attribute).
bool write_file_replacing(const std::filesystem::path& path, std::string_view bytes);

// The same, with the cause of a failure in error: the system's own (a full disk is
// std::errc::no_space_on_device), a loop of links, a folder, or FileError::kNotARegularFile.
bool write_file_replacing(const std::filesystem::path& path, std::string_view bytes, std::error_code& error);

// Causes of a failed write that the system has no error number for.
enum class FileError { kNotARegularFile = 1 };
std::error_code make_error_code(FileError error);

// A new, empty folder beside target (in the same parent, so that replace_folder can rename it into
// target's place), under a name nobody else holds; with target's permissions when target is a folder.
// Empty, with the cause in error, when it cannot be made.
std::filesystem::path create_folder_beside(const std::filesystem::path& target, std::error_code& error);

// Puts the folder fresh in target's place: target (when there) is renamed aside, fresh renamed in, the
// parent synced, and only then the old folder removed, so that target holds either the whole old folder or
// the whole new one. When target is a symbolic link, the folder at the end of its links is replaced.
// False, with fresh and target as they were, when a rename fails or target is not a folder.
bool replace_folder(const std::filesystem::path& fresh, const std::filesystem::path& target,
                    std::error_code& error);

// For tests: while set, every write of a file with this name (in any folder) fails as on a full disk,
// after its temporary file was made. Empty: no write fails so.
void fail_writes_as_full_disk_for_testing(std::string file_name);

}  // namespace tvx
