#pragma once

#include <string>
#include <string_view>

#include "config/configuration.h"

namespace tvx {

// Which device each of "COM 1" to "COM 6" opens, kept in the INI under "COM1".."COM6".
// An empty binding opens the platform's own device for the port.

// The path bound to com_port 0..5; empty when none is bound or com_port is outside the range.
std::string bound_serial_device(const Configuration& config, int com_port);

// Binds com_port to path (surrounding blanks dropped; empty unbinds). False when the port is outside the
// range, the path is too long for the INI value, or the INI could not be written.
bool bind_serial_device(const Configuration& config, int com_port, std::string_view path);

}  // namespace tvx
