#include "config/test_picture.h"

#include "config/configuration.h"
#include "config/ini_profile.h"

namespace tvx {

std::string test_picture(const Configuration& config) {
    if (config.ini_path.empty()) return {};
    return read_profile_string(config.ini_path, kIniSection, kTestPictureKey, "", kTestPictureLength + 1);
}

bool remember_test_picture(const Configuration& config, std::string_view path) {
    if (path.size() > kTestPictureLength || path.find_first_of("\r\n") != std::string_view::npos)
        return false;
    return write_config_value(config, kTestPictureKey, path);
}

}  // namespace tvx
