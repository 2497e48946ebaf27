#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tvx {

struct Configuration;

// The kinds of file the tool's file dialogs choose; each dialog starts in the folder last used for its
// kind.
enum class FileKind { kDocument, kBank, kBitmap, kLog };
inline constexpr std::size_t kFileKindCount = 4;

// The folders last used, by kind, as UTF-8 paths; empty until a file of the kind was chosen.
using RecentFolders = std::array<std::string, kFileKindCount>;

// The key of the tool's section that keeps the folder of kind ("folder_document"...). Older copies of
// the tool ignore keys they do not know.
std::string_view recent_folder_key(FileKind kind);

// The longest folder path kept; a longer one is not remembered, since the reader would cut it.
inline constexpr std::size_t kRecentFolderLength = 1024;

// Remembers folder (UTF-8) for kind, in memory and in the INI file. A folder the file cannot hold (too
// long, a line break) is not remembered; a write that fails is not told: the tool then simply starts in
// the folder of the run before.
void remember_folder(Configuration& config, FileKind kind, std::string_view folder);

}  // namespace tvx
