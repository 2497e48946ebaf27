#include "link/config_location.h"

#include <QDir>
#include <QStandardPaths>

#include "config/configuration.h"

namespace tvx {

std::filesystem::path default_ini_path() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Through Qt's own conversion: on Windows a path made from a narrow string is read in the ANSI code
    // page, which garbles a user folder named in Japanese.
    return QDir(base).filesystemPath() / "tvx230" / kIniFileName;
}

}  // namespace tvx
