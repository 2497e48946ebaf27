#include "ui/window_modal.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

namespace tvx {

bool has_field_to_type_in(const QWidget& dialog) {
    const auto editable = [](const auto& fields) {
        return std::any_of(fields.begin(), fields.end(),
                           [](const auto* field) { return !field->isReadOnly(); });
    };
    return editable(dialog.findChildren<QLineEdit*>()) ||
           editable(dialog.findChildren<QAbstractSpinBox*>()) ||
           editable(dialog.findChildren<QPlainTextEdit*>()) || editable(dialog.findChildren<QTextEdit*>());
}

void give_close_the_enter_key(QDialog& dialog) {
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    for (const QPushButton* button : buttons) {
        if (button->isDefault()) return;
    }
    // Where the operator types, Enter would close the dialog under the text; there it does nothing.
    if (has_field_to_type_in(dialog)) return;
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
