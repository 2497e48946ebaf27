#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tvx {

// Reads a whole file as bytes. False when it cannot be opened or read.
bool read_whole_file(const std::filesystem::path& path, std::string& bytes);

// Writes bytes to a new file beside path and then puts it in path's place, so that path holds either its
// old content or the whole new content, never a part. False (and path untouched) when any step fails.
bool write_file_replacing(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tvx
