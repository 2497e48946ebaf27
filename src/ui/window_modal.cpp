#include "ui/window_modal.h"

#include <QDialog>

namespace tvx {

int exec_window_modal(QDialog& dialog) {
    // exec() alone would block every window of the tool.
    if (dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

}  // namespace tvx
