#include "ui/recent_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "config/configuration.h"

namespace tvx {

void start_in_recent_folder(QFileDialog& dialog, const Configuration& config, FileKind kind) {
    const QString folder = QString::fromStdString(config.recent_folders[static_cast<std::size_t>(kind)]);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
}

void remember_chosen_folder(Configuration& config, FileKind kind, const QString& chosen_file) {
    if (chosen_file.isEmpty()) return;
    remember_folder(config, kind,
                    QDir::toNativeSeparators(QFileInfo(chosen_file).absolutePath()).toStdString());
}

}  // namespace tvx
