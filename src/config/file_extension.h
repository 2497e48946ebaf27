#pragma once

#include <string>
#include <string_view>

namespace tvx {

// The extension rule of every file the tool saves under a chosen name (documents, bank files, bitmaps):
// the extension (".dat", ".tll", ".bmp"...) is appended unless it already occurs somewhere after the
// name's first character, in any case, so "a.tll.bak" and "bank1.TLS" are kept as they are.
std::string with_extension(const std::string& name, std::string_view extension);

}  // namespace tvx
