#include "link/qt_path.h"

#ifdef _WIN32
#include <QDir>
#endif

namespace tvx {

std::filesystem::path to_path(const QString& name) {
#ifdef _WIN32
    // Qt writes '/' where Windows writes a backslash: the path takes the system's own form, so that the
    // recent files and the settings hold one name per file, as every other program there writes it.
    return std::filesystem::path(QDir::toNativeSeparators(name).toStdWString());
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
