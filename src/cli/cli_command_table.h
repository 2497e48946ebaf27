#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "cli/cli_parse_state.h"

namespace tvx {

// The commands of tvx230-cli as data: their words, what follows them, their --help lines, and the check of
// their own arguments. Which options go with which command is in the option table.
struct CliCommandSpec {
    std::string_view name;  // one or two words: "send", "glyphs read"
    CliOptions::Command command;
    std::size_t arguments;   // words after the name
    std::string_view usage;  // the form, as --help and a refusal show it
    std::string_view help;   // lines of the --help text, "\n" between them
    // Checks and stores the arguments after the name; the refusal, or empty.
    std::string (*read)(CliParseState& state, std::span<const std::string> arguments);
};

std::span<const CliCommandSpec> cli_command_table();

// What tvx230-cli ends with, and for what: --help and the manual page list these.
struct CliExitStatus {
    int code;
    std::string_view meaning;
    std::string_view cases;  // the cases, separated by ", " (and "; " before the offline commands')
};

std::span<const CliExitStatus> cli_exit_statuses();

}  // namespace tvx
