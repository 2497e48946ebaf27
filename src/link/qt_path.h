#pragma once

#include <QString>
#include <filesystem>

namespace tvx {

// The one crossing between Qt's file names and the core's paths. On Windows both sides are UTF-16 and the
// name passes unchanged but for Qt's '/', which becomes the system's backslash; elsewhere a path is bytes,
// UTF-8 on the systems the tool runs on. A QString never becomes a path through a narrow std::string on
// Windows: that string would be read in the ANSI code page, and a Japanese name would become another name.
std::filesystem::path to_path(const QString& name);
QString to_qstring(const std::filesystem::path& path);

}  // namespace tvx
