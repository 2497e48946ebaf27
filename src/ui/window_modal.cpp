#include "ui/window_modal.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace tvx {

void give_close_the_enter_key(QDialog& dialog) {
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    for (const QPushButton* button : buttons) {
        if (button->isDefault()) return;
    }
    // Where the operator types, Enter would close the dialog under the text; there it does nothing.
    if (!dialog.findChildren<QLineEdit*>().isEmpty() || !dialog.findChildren<QAbstractSpinBox*>().isEmpty() ||
        !dialog.findChildren<QPlainTextEdit*>().isEmpty() || !dialog.findChildren<QTextEdit*>().isEmpty()) {
        return;
    }
    for (QPushButton* button : buttons) {
        if (button->text() == QStringLiteral("Close")) {
            button->setDefault(true);
            return;
        }
    }
}

int exec_window_modal(QDialog& dialog) {
    // exec() alone would block every window of the tool.
    if (dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
    give_close_the_enter_key(dialog);
    return dialog.exec();
}

}  // namespace tvx
