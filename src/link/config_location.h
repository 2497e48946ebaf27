#pragma once

#include <filesystem>

namespace tvx {

// "tvx230/tvx230.ini" under the per-user configuration folder ($XDG_CONFIG_HOME, by default ~/.config,
// on Linux), so that tests and demonstrations can point it elsewhere.
std::filesystem::path default_ini_path();

}  // namespace tvx
