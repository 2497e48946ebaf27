#pragma once

#include <filesystem>
#include <string>
#include <string_view>

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

}  // namespace tvx
