#include "link/config_location.h"

#include <QStandardPaths>

#include "config/configuration.h"

namespace tvx {

std::filesystem::path default_ini_path() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::filesystem::path(base.toStdString()) / "tvx230" / kIniFileName;
}

}  // namespace tvx
