#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

struct Configuration;

// The settings documents opened or saved last, newest first, as UTF-8 paths. They are kept in keys of
// the tool's own ("recent_file1" to "recent_file8"), which older copies of the tool ignore.
using RecentFiles = std::vector<std::string>;
inline constexpr std::size_t kRecentFileCount = 8;
// The longest path kept, as for the folders: the reader would cut a longer one.
inline constexpr std::size_t kRecentFileLength = 1024;

// "recent_file1" for index 0.
std::string recent_file_key(std::size_t index);

// The list as the INI text holds it: empty keys and repeated paths left out, at most kRecentFileCount.
RecentFiles recent_files_from_text(std::string_view ini_text);

// Puts path first (moving it up when it is already listed) and writes the list. A path the file cannot
// hold (too long, a line break) is left out. A write that fails is not told: the list in memory stays
// right for this run.
void remember_recent_file(Configuration& config, std::string_view path);
// Takes path off the list and writes the list; false when it was not listed.
bool forget_recent_file(Configuration& config, std::string_view path);

}  // namespace tvx
