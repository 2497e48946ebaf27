#pragma once

#include <optional>

class QWidget;

namespace tvx {

// The open state of the input method for the window a widget is in (Windows' input method manager).
// Where the platform has no such state to read, there is none (and setting it does nothing): the
// widget's own input-method input stays as it is.
std::optional<bool> native_input_method_open(QWidget* widget);
void set_native_input_method_open(QWidget* widget, bool open);

}  // namespace tvx
