#pragma once

#include "config/recent_folders.h"

class QFileDialog;
class QString;

namespace tvx {

// Starts dialog in the folder last used for kind, while that folder is still there; otherwise the
// dialog keeps its own start.
void start_in_recent_folder(QFileDialog& dialog, const Configuration& config, FileKind kind);

// Remembers the folder of the file the operator chose, for the next dialog of its kind.
void remember_chosen_folder(Configuration& config, FileKind kind, const QString& chosen_file);

}  // namespace tvx
