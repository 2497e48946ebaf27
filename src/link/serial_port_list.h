#pragma once

#include <string>
#include <vector>

namespace tvx {

// Serial devices found on this machine, to offer when a port is bound: the stable names under
// by_id_folder (USB adapters keep them whichever socket they are in) first, then every port the system
// lists, each once. Pseudo-terminals are not listed; a typed path is accepted for them.
std::vector<std::string> available_serial_devices(const std::string& by_id_folder = "/dev/serial/by-id");

// What to tell the operator when device cannot be opened for lack of permission: the group that owns
// the device and how to join it. Empty where there is no such group (Windows).
std::string serial_permission_hint(const std::string& device);

}  // namespace tvx
