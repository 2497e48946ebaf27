#pragma once

#include <filesystem>

#include "config/configuration_takeover.h"

namespace tvx {

// "tvx230/tvx230.ini" under the per-user configuration folder ($XDG_CONFIG_HOME, by default ~/.config,
// on Linux), so that tests and demonstrations can point it elsewhere.
std::filesystem::path default_ini_path();

// Where the earlier tool kept its configuration, to be taken over when the tool's own does not exist:
// on Windows "tvx230.ini" in the Windows folder and its per-user VirtualStore copy; elsewhere nothing.
EarlierConfiguration earlier_configuration();

}  // namespace tvx
