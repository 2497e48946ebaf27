// Platforms without an input method open state the tool could switch: the field keeps input-method
// input enabled and the platform's input method decides.
#ifndef _WIN32

#include "ui/input_method_native.h"

namespace tvx {

std::optional<bool> native_input_method_open(QWidget*) {
    return std::nullopt;
}

void set_native_input_method_open(QWidget*, bool) {}

}  // namespace tvx

#endif  // !_WIN32
