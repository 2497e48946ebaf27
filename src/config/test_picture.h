#pragma once

#include <string>
#include <string_view>

namespace tvx {

struct Configuration;

// The picture the monitor preview draws the text over: an image file the operator chose, kept in the
// tool's section under its own key (older copies of the tool ignore it), or none for colour bars.
inline constexpr std::string_view kTestPictureKey = "preview_picture";
inline constexpr std::size_t kTestPictureLength = 1024;

// The chosen image's path (UTF-8) as the INI file holds it now; empty for colour bars.
std::string test_picture(const Configuration& config);

// Keeps path (UTF-8; empty for colour bars) in the INI file. A path the file cannot hold (too long, a
// line break) is refused; false when refused or not written (the write failure is told as for any key).
bool remember_test_picture(const Configuration& config, std::string_view path);

}  // namespace tvx
