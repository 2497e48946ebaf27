#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tvx {

// The extension rule of every file the tool saves under a chosen name (documents, bank files, bitmaps):
// the extension (".dat", ".tll", ".bmp"...) is appended unless it already occurs somewhere after the
// name's first character, in any case, so "a.tll.bak" and "bank1.TLS" are kept as they are.
std::string with_extension(const std::string& name, std::string_view extension);
// The same rule over a path's own characters (UTF-16 on Windows), so that no name passes through a narrow
// string on the way.
std::filesystem::path path_with_extension(const std::filesystem::path& name, std::string_view extension);

}  // namespace tvx
