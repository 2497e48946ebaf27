#pragma once

#include <string>

#include "config/configuration.h"

namespace tvx {

inline constexpr int kSerialPortCount = 6;  // "COM1".."COM6"

// "COM1".."COM6" for com_port 0..5; empty for any other value.
std::string com_port_key(int com_port);

// The device this platform knows the port by: /dev/ttyS0../dev/ttyS5 on Linux and other Unix systems,
// COM1..COM6 on Windows; empty when com_port is outside 0..5.
std::string platform_serial_device(int com_port);

// The device to open for the configured port. A key "COM1".."COM6" in the tool's INI section names
// another device for that port (a USB adapter, a pseudo-terminal); otherwise the platform's own name.
std::string serial_device_for(const Configuration& config);

}  // namespace tvx
