#include "editors/serial_port_binding.h"

#include "config/ini_profile.h"
#include "link/serial_port_names.h"

namespace tvx {
namespace {

// The reader takes at most this many bytes of a binding; a longer path would come back cut.
constexpr std::size_t kDevicePathBuffer = 260;

}  // namespace

std::string bound_serial_device(const Configuration& config, int com_port) {
    const std::string key = com_port_key(com_port);
    if (key.empty() || config.ini_path.empty()) return {};
    return read_profile_string(config.ini_path, kIniSection, key, "", kDevicePathBuffer);
}

bool bind_serial_device(const Configuration& config, int com_port, std::string_view path) {
    const std::string key = com_port_key(com_port);
    if (key.empty()) return false;
    const auto first = path.find_first_not_of(" \t");
    path = first == std::string_view::npos ? std::string_view{} : path.substr(first);
    path = path.substr(0, path.find_last_not_of(" \t") + 1);
    // A line break would end the INI value early and leave the rest as a line of its own.
    if (path.size() >= kDevicePathBuffer || path.find_first_of("\r\n") != std::string_view::npos)
        return false;
    return write_config_value(config, key, path);
}

}  // namespace tvx
