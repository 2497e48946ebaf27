#include "link/config_location.h"

#include <QStandardPaths>

#include "config/configuration.h"
#include "link/qt_path.h"

namespace tvx {

std::filesystem::path default_ini_path() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return to_path(base) / "tvx230" / kIniFileName;
}

}  // namespace tvx
