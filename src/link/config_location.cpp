#include "link/config_location.h"

#include <QStandardPaths>

#include "config/configuration.h"
#include "link/qt_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tvx {

std::filesystem::path default_ini_path() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return to_path(base) / "tvx230" / kIniFileName;
}

EarlierConfiguration earlier_configuration() {
    EarlierConfiguration earlier;
#ifdef _WIN32
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return earlier;
    const std::filesystem::path windows(std::wstring(folder, length));
    earlier.file = windows / kIniFileName;
    // Windows keeps a program's writes to its own folder per user, under the same path without the drive.
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!local.isEmpty())
        earlier.virtual_store = to_path(local) / "VirtualStore" / windows.relative_path() / kIniFileName;
#endif
    return earlier;
}

}  // namespace tvx
