#include "link/qt_path.h"

namespace tvx {

std::filesystem::path to_path(const QString& name) {
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(name.toStdString());
#endif
}

QString to_qstring(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QString::fromStdString(path.native());
#endif
}

}  // namespace tvx
