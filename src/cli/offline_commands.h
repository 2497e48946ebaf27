#pragma once

#include <optional>
#include <ostream>

#include "cli/cli_options.h"
#include "cli/console.h"

namespace tvx {

// The commands that read and write files only, without a unit: glyphs convert, glyphs bmp, diff, show and
// render. Runs the command and returns its exit status; none for a command that reaches units.
std::optional<int> run_offline_command(const CliOptions& options, std::ostream& out, Console& console);

}  // namespace tvx
