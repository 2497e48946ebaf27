#pragma once

class QDialog;
class QWidget;

namespace tvx {

// Runs a dialog modal to its parent window only: the main window (and, for a dialog opened from a
// dialog, that one too) waits, while windows outside that family, such as the communication log, stay
// usable. Returns what exec() returns. Escape closes the dialog as its close box does (a dialog that
// must stay open refuses both), and Enter presses its default button (give_close_the_enter_key).
int exec_window_modal(QDialog& dialog);

// A dialog without a default button gets its Close button as the default, so that Enter closes it as
// Escape does; closing never undoes or sends anything. A dialog with a field to type in is left as it
// is: Enter there belongs to the field.
void give_close_the_enter_key(QDialog& dialog);
// Whether the dialog holds a text or number field the operator can type in.
bool has_field_to_type_in(const QWidget& dialog);

}  // namespace tvx
