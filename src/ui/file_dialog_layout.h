#pragma once

class QFileDialog;

namespace tvx {

// Gives a standard file dialog room: wide enough that the detail view's size, type and date columns
// are never cut, and those columns as wide as what they show.
void widen_file_dialog(QFileDialog& dialog);

}  // namespace tvx
