#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"

namespace tvx {

// The arguments read so far, shared by the option and command tables while parse_cli_options runs.
struct CliParseState {
    CliOptions options;
    std::vector<std::string> words;  // the command and its arguments, in order
    std::vector<bool> given;         // by row of the option table
    int tcp_units = 0;               // --tcp given so far (--hosts files are read when the run begins)
    std::size_t argument = 0;        // the value being read, counted from 1 among the arguments

    bool was_given(std::string_view option) const;
};

}  // namespace tvx
