#pragma once

#include <string>
#include <vector>

namespace tvx {

// Serial devices found on this machine, to offer when a port is bound: the stable names under
// by_id_folder (USB adapters keep them whichever socket they are in) first, then every port the system
// lists, each once. Pseudo-terminals are not listed; a typed path is accepted for them.
std::vector<std::string> available_serial_devices(const std::string& by_id_folder = "/dev/serial/by-id");

// What tells one serial device from another beyond its path: for a USB adapter its vendor, product and
// serial number as the system reports them ("0403:6001:A12345"); empty where the system knows none (a
// built-in port, whose path is its identity).
std::string serial_device_identity(const std::string& device);

// What to tell the operator when device cannot be opened for lack of permission: the group that owns
// the device and how to join it. Empty where there is no such group (Windows).
std::string serial_permission_hint(const std::string& device);

}  // namespace tvx
