#pragma once

class QDialog;

namespace tvx {

// Runs a dialog modal to its parent window only: the main window (and, for a dialog opened from a
// dialog, that one too) waits, while windows outside that family, such as the communication log, stay
// usable. Returns what exec() returns.
int exec_window_modal(QDialog& dialog);

}  // namespace tvx
