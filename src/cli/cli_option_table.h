#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "cli/cli_parse_state.h"

namespace tvx {

// The options of tvx230-cli as data: how each is written, what it takes and what it goes with. The
// parser, the --help text and the test of the manual page all read this one table.

enum class CliOptionGroup { kLink, kRun, kCommand, kProgram };

// Sets of commands or links an option belongs to, as bits.
constexpr std::uint32_t command_bit(CliOptions::Command c) {
    return std::uint32_t{1} << static_cast<int>(c);
}
constexpr std::uint32_t link_bit(CliOptions::Link l) {
    return std::uint32_t{1} << static_cast<int>(l);
}

struct CliOptionSpec {
    std::string_view name = {};        // "--tcp"
    std::string_view short_name = {};  // "-o", or empty
    std::string_view value = {};       // what it takes, as the help shows it; empty for a switch
    CliOptionGroup group = CliOptionGroup::kRun;
    std::string_view help = {};  // lines of the --help text, "\n" between them
    // Reads the value (or notes the switch); the refusal, or empty.
    std::string (*apply)(CliParseState& state, const std::string& value) = nullptr;
    bool repeatable = true;  // false: given twice is a mistake (with once_refusal)
    std::string_view once_refusal = {};
    std::uint32_t commands = 0;  // the commands it goes with; 0 for any
    std::string_view command_refusal = {};
    std::uint32_t links = 0;  // the links it goes with; 0 for any
    std::string_view link_refusal = {};
    bool online = false;  // belongs to a run that reaches units: not with the offline commands
};

std::span<const CliOptionSpec> cli_option_table();

// The row of an option by its long or short name, or none.
const CliOptionSpec* find_cli_option(std::string_view name);

}  // namespace tvx
