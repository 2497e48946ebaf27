#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "cli/cli_command_table.h"
#include "cli/cli_option_table.h"

namespace tvx {
namespace {

constexpr int kBroadcast = 32;
// The --help text's columns: where the help of an option and of a command begins, and the line width.
constexpr std::size_t kOptionColumn = 27;
constexpr std::size_t kCommandColumn = 43;
constexpr std::size_t kWidth = 104;

CliParse refuse(std::string error) {
    return CliParse{std::nullopt, std::move(error)};
}

// What several units need that one does not: a name per unit for what they write.
std::string several_units_problem(const CliOptions& o) {
    if (!o.output.empty() && o.output.find("{n}") == std::string::npos)
        return "with several units the output file must hold {n}";
    if (o.command == CliOptions::Command::kBackup && o.dir.find("{n}") == std::string::npos)
        return "with several units the backup folder must hold {n}";
    return {};
}

// Reads the options into the state and collects the other words; the refusal, or empty.
std::string read_options(const std::vector<std::string>& arguments, CliParseState& state) {
    const std::span<const CliOptionSpec> table = cli_option_table();
    state.given.assign(table.size(), false);
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        state.argument = i + 1;
        if (options_ended || argument.size() < 2 || argument[0] != '-' || argument == "-") {
            state.words.push_back(argument);
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        std::string name = argument;
        std::optional<std::string> inline_value;
        if (const std::size_t eq = argument.find('=');
            argument.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = argument.substr(0, eq);
            inline_value = argument.substr(eq + 1);
        }
        const CliOptionSpec* option = find_cli_option(name);
        if (!option) return "unknown option " + argument;
        std::string value;
        if (option->value.empty()) {
            if (inline_value) return name + " takes no value";
        } else if (inline_value) {
            value = *inline_value;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
            state.argument = i + 1;  // messages point at the value
        } else {
            return name + " needs a value";
        }
        const auto row = static_cast<std::size_t>(option - table.data());
        if (!option->repeatable && state.given[row]) return std::string(option->once_refusal);
        state.given[row] = true;
        if (std::string refusal = option->apply(state, value); !refusal.empty()) return refusal;
    }
    return {};
}

// The command named by the first words, with its own arguments checked; the refusal, or empty.
std::string read_command(CliParseState& state) {
    const std::vector<std::string>& words = state.words;
    if (words.empty()) return "no command given";
    std::string family;  // "glyphs read|register|convert|bmp ...", when the first word names a family
    for (const CliCommandSpec& command : cli_command_table()) {
        const std::size_t space = command.name.find(' ');
        const std::string_view first = command.name.substr(0, space);
        if (words[0] != first) continue;
        std::size_t taken = 1;
        if (space != std::string_view::npos) {
            const std::string_view second = command.name.substr(space + 1);
            family += (family.empty() ? std::string(first) + " " : "|") + std::string(second);
            if (words.size() < 2 || words[1] != second) continue;
            taken = 2;
        }
        state.options.command = command.command;
        if (words.size() != taken + command.arguments) return "usage: " + std::string(command.usage);
        return command.read(state, std::span<const std::string>(words).subspan(taken));
    }
    if (!family.empty()) return family + " ...";
    return "unknown command \"" + words[0] + "\"";
}

// Options that belong to other commands or links are mistakes worth telling.
std::string check_combination(CliParseState& state) {
    CliOptions& o = state.options;
    const std::span<const CliOptionSpec> table = cli_option_table();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (state.given[row] && table[row].commands != 0 &&
            (table[row].commands & command_bit(o.command)) == 0)
            return std::string(table[row].command_refusal);
    }
    if (!o.needs_link()) {
        const bool online = std::any_of(table.begin(), table.end(), [&](const CliOptionSpec& option) {
            return option.online && state.given[static_cast<std::size_t>(&option - table.data())];
        });
        if (!online) return {};
        const std::string what = o.command == CliOptions::Command::kDiff     ? std::string("diff")
                                 : o.command == CliOptions::Command::kShow   ? std::string("show")
                                 : o.command == CliOptions::Command::kRender ? std::string("render")
                                                                             : "glyphs " + state.words[1];
        return what + " works offline: no link options, no --log, no --report and no --json";
    }
    if (o.link == CliOptions::Link::kNone) return "give one of --serial, --tcp, --listen";
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (state.given[row] && table[row].links != 0 && (table[row].links & link_bit(o.link)) == 0)
            return std::string(table[row].link_refusal);
    }
    if (o.verify && o.rs485 == kBroadcast) return "--verify needs an answer: not with --rs485 broadcast";
    if (o.command == CliOptions::Command::kApply && o.rs485 == kBroadcast)
        return "apply reads each unit first: not with --rs485 broadcast";
    if (o.link == CliOptions::Link::kTcp) o.units = std::max(1, state.tcp_units);
    if (o.link == CliOptions::Link::kSerial && !o.rs485_addresses.empty())
        o.units = static_cast<int>(o.rs485_addresses.size());
    // With a --hosts file the count is known once it has been read; the run checks it then.
    const bool hosts_file = std::any_of(o.tcp_targets.begin(), o.tcp_targets.end(),
                                        [](const auto& t) { return !t.hosts_file.empty(); });
    if (o.units > 1 && !hosts_file) return several_units_problem(o);
    return {};
}

// Appends "  LEFT   help" with the help's lines from the column on, each wrapped to the width; a left part
// too long for its column puts the help on the next line.
void append_row(std::string& out, std::string_view left, std::string_view help, std::size_t column) {
    std::string line = "  " + std::string(left);
    bool pending = true;  // line holds the left part, not yet written
    if (line.size() + 1 > column) {
        out += line + "\n";
        pending = false;
        line.clear();
    }
    line.resize(column, ' ');
    while (!help.empty()) {
        const std::size_t lf = help.find('\n');
        std::string_view text = help.substr(0, lf);
        help.remove_prefix(lf == std::string_view::npos ? help.size() : lf + 1);
        while (!text.empty()) {
            const std::size_t room = kWidth - column;
            std::size_t cut = text.size();
            if (cut > room) {
                const std::size_t space = text.rfind(' ', room);
                cut = space == std::string_view::npos || space == 0 ? room : space;
            }
            out += line + std::string(text.substr(0, cut)) + "\n";
            pending = false;
            line.assign(column, ' ');
            text.remove_prefix(cut);
            while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        }
    }
    if (pending) out += "  " + std::string(left) + "\n";
}

std::string option_form(const CliOptionSpec& option) {
    std::string form = option.short_name.empty()
                           ? std::string(option.name)
                           : std::string(option.short_name) + ", " + std::string(option.name);
    if (!option.value.empty()) form += " " + std::string(option.value);
    return form;
}

}  // namespace

int CliOptions::job_limit() const {
    if (link == Link::kSerial) return 1;
    if (jobs) return *jobs;
    return link == Link::kListen ? units : kDefaultJobs;
}

int CliOptions::reply_timeout_ms() const {
    return std::max(1, static_cast<int>(std::lround(reply_timeout_seconds * 1000)));
}

const GlyphSize* glyph_size_of_file(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return nullptr;
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    for (const GlyphSize* size : kGlyphSizes) {
        if (extension == size->extension) return size;
    }
    return nullptr;
}

std::string output_for_unit(std::string_view pattern, int n) {
    std::string out;
    const std::string number = std::to_string(n);
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern.substr(i, 3) == "{n}") {
            out += number;
            i += 3;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

CliParse parse_cli_options(const std::vector<std::string>& arguments) {
    CliParseState state;
    if (std::string refusal = read_options(arguments, state); !refusal.empty()) return refuse(refusal);
    if (state.options.help || state.options.version) return CliParse{state.options, {}};
    if (std::string refusal = read_command(state); !refusal.empty()) return refuse(refusal);
    if (std::string refusal = check_combination(state); !refusal.empty()) return refuse(refusal);
    return CliParse{state.options, {}};
}

std::string cli_usage() {
    std::string text = R"(Usage: tvx230-cli LINK [OPTIONS] COMMAND [ARGS]
       tvx230-cli glyphs convert|bmp ...      (offline, no LINK)
       tvx230-cli diff A.dat B.dat            (offline, no LINK)

The headless companion of the TVX-230 tool: reads units back into settings documents, sends documents,
single command lines and glyph banks, to one unit or to a whole fleet at once.
)";
    const struct {
        CliOptionGroup group;
        const char* heading;
    } groups[] = {{CliOptionGroup::kLink, "\nLINK, exactly one of:\n"},
                  {CliOptionGroup::kRun, "OPTIONS:\n"},
                  {CliOptionGroup::kCommand, "OPTIONS OF COMMANDS:\n"},
                  {CliOptionGroup::kProgram, "OTHER:\n"}};
    for (const auto& group : groups) {
        text += group.heading;
        for (const CliOptionSpec& option : cli_option_table()) {
            if (option.group == group.group)
                append_row(text, option_form(option), option.help, kOptionColumn);
        }
    }
    text += "COMMANDS:\n";
    for (const CliCommandSpec& command : cli_command_table())
        append_row(text, command.usage, command.help, kCommandColumn);
    text += R"(
Output names follow the tool's save dialogs: ".dat", the bank's extension or ".bmp" is appended
unless the name already holds it after its first character. Files are replaced whole or not at all.
Documents and bank files are read strictly: a file that cannot be read whole is refused and nothing
is sent. Errors go to stderr in the tool's own notice words.

Exit status:
)";
    for (const CliExitStatus& status : cli_exit_statuses()) {
        append_row(text, std::to_string(status.code),
                   std::string(status.meaning) + " (" + std::string(status.cases) + ")", 6);
    }
    return text;
}

}  // namespace tvx
