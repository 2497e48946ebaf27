#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tvx {

// Paths and the UTF-8 texts the tool shows, logs and keeps in its own files. A path is never made from a
// narrow string directly: on Windows that reads the string in the ANSI code page, which turns a Japanese
// file name into another name (or fails), and path::string() the other way throws on one.

// The path a UTF-8 text names.
std::filesystem::path path_from_utf8(std::string_view text);

// The path as UTF-8 text, for notices, reports and the configuration file.
std::string path_to_utf8(const std::filesystem::path& path);

}  // namespace tvx
