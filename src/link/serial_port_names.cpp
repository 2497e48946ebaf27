#include "link/serial_port_names.h"

#include "config/ini_profile.h"

namespace tvx {
namespace {

// Room for a full device path, as a Windows path buffer would hold.
constexpr std::size_t kDevicePathBuffer = 260;

bool valid_port(int com_port) {
    return com_port >= 0 && com_port < kSerialPortCount;
}

}  // namespace

std::string com_port_key(int com_port) {
    if (!valid_port(com_port)) return {};
    return "COM" + std::to_string(com_port + 1);
}

std::string platform_serial_device(int com_port) {
    if (!valid_port(com_port)) return {};
#ifdef _WIN32
    return com_port_key(com_port);
#else
    return "/dev/ttyS" + std::to_string(com_port);
#endif
}

std::string serial_device_for(const Configuration& config) {
    const std::string fallback = platform_serial_device(config.com_port);
    if (fallback.empty() || config.ini_path.empty()) return fallback;
    const std::string named = read_profile_string(config.ini_path, kIniSection, com_port_key(config.com_port),
                                                  "", kDevicePathBuffer);
    return named.empty() ? fallback : named;
}

}  // namespace tvx
