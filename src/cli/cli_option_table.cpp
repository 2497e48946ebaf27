#include "cli/cli_option_table.h"

#include <algorithm>

#include "cli/cli_numbers.h"
#include "cli/unit_targets.h"

namespace tvx {
namespace {

using Command = CliOptions::Command;
using Link = CliOptions::Link;

constexpr int kMaxListenUnits = 96;
constexpr int kMaxPaceMs = 600000;
constexpr double kMaxReplySeconds = 3600;
constexpr double kMaxWaitSeconds = 86400;

// Only --tcp and --hosts may be given together, and several times.
std::string set_link(CliParseState& s, Link link) {
    if (s.options.link != Link::kNone && !(s.options.link == Link::kTcp && link == Link::kTcp))
        return "give exactly one of --serial, --tcp, --listen";
    s.options.link = link;
    return {};
}

std::string add_tcp_target(CliParseState& s, CliOptions::TcpTarget target) {
    s.options.tcp_targets.push_back(std::move(target));
    if (s.options.tcp_targets.size() > static_cast<std::size_t>(kMaxTcpUnits))
        return "at most " + std::to_string(kMaxTcpUnits) + " units as TCP client";
    return {};
}

std::string file_name(const std::string& value, std::string_view option, std::string& out) {
    if (value.empty()) return std::string(option) + " needs a file name";
    out = value;
    return {};
}

constexpr std::uint32_t kSendAllRestoreRegister =
    command_bit(Command::kSendAll) | command_bit(Command::kRestore) | command_bit(Command::kGlyphRegister);

std::string apply_serial(CliParseState& s, const std::string& v) {
    if (std::string e = set_link(s, Link::kSerial); !e.empty()) return e;
    if (v.empty()) return "--serial needs a device";
    s.options.device = v;
    return {};
}

std::string apply_tcp(CliParseState& s, const std::string& v) {
    if (std::string e = set_link(s, Link::kTcp); !e.empty()) return e;
    CliOptions::TcpTarget target;
    std::string error;
    if (!parse_tcp_target(v, target.host, target.port, error)) return error;
    target.origin = "argument " + std::to_string(s.argument);
    ++s.tcp_units;
    if (s.options.host.empty()) {
        s.options.host = target.host;
        s.options.port = target.port;
    }
    return add_tcp_target(s, std::move(target));
}

std::string apply_hosts(CliParseState& s, const std::string& v) {
    if (std::string e = set_link(s, Link::kTcp); !e.empty()) return e;
    if (v.empty()) return "--hosts needs a file name";
    CliOptions::TcpTarget target;
    target.hosts_file = v;
    return add_tcp_target(s, std::move(target));
}

std::string apply_listen(CliParseState& s, const std::string& v) {
    if (std::string e = set_link(s, Link::kListen); !e.empty()) return e;
    std::string error;
    if (!parse_listen_address(v, s.options.host, s.options.port, error)) return error;
    return {};
}

std::string apply_rs485(CliParseState& s, const std::string& v) {
    std::string error;
    if (!parse_rs485_addresses(v, s.options.rs485_addresses, error)) return error;
    s.options.rs485 = s.options.rs485_addresses.front();
    return {};
}

std::string apply_units(CliParseState& s, const std::string& v) {
    if (!read_whole_number(v, 1, kMaxListenUnits, s.options.units)) return "--units takes 1..96";
    return {};
}

std::string apply_wait(CliParseState& s, const std::string& v) {
    if (!read_seconds(v, 0, kMaxWaitSeconds, s.options.wait_seconds)) return "--wait takes seconds";
    return {};
}

std::string apply_jobs(CliParseState& s, const std::string& v) {
    int jobs = 0;
    if (!read_whole_number(v, 1, kMaxTcpUnits, jobs))
        return "--jobs takes 1.." + std::to_string(kMaxTcpUnits);
    s.options.jobs = jobs;
    return {};
}

std::string apply_pace(CliParseState& s, const std::string& v) {
    int ms = 0;
    if (v == "reply") {
        s.options.pace_reply = true;
        s.options.pace_ms.reset();
    } else if (read_whole_number(v, 1, kMaxPaceMs, ms)) {
        s.options.pace_ms = ms;
        s.options.pace_reply = false;
    } else {
        return "--pace takes milliseconds (1..600000) or \"reply\"";
    }
    return {};
}

std::string apply_reply_timeout(CliParseState& s, const std::string& v) {
    if (!read_seconds(v, 0.001, kMaxReplySeconds, s.options.reply_timeout_seconds))
        return "--reply-timeout takes seconds (up to 3600)";
    return {};
}

std::string apply_log(CliParseState& s, const std::string& v) {
    return file_name(v, "--log", s.options.log);
}

std::string apply_report(CliParseState& s, const std::string& v) {
    return file_name(v, "--report", s.options.report);
}

std::string apply_json(CliParseState& s, const std::string&) {
    s.options.json = true;
    return {};
}

std::string apply_verify(CliParseState& s, const std::string&) {
    s.options.verify = true;
    return {};
}

std::string apply_check(CliParseState& s, const std::string&) {
    s.options.check = true;
    return {};
}

std::string apply_diff(CliParseState& s, const std::string&) {
    s.options.diff = true;
    return {};
}

std::string apply_quiet(CliParseState& s, const std::string&) {
    s.options.quiet = true;
    return {};
}

std::string apply_output(CliParseState& s, const std::string& v) {
    if (v.empty()) return "-o needs a file name";
    s.options.output = v;
    return {};
}

std::string apply_number(CliParseState& s, const std::string& v) {
    int number = 0;
    if (v == "all") {
        s.options.number.reset();
    } else if (read_whole_number(v, 1, 256, number)) {
        s.options.number = number;
    } else {
        return "--number takes a registration number or \"all\"";
    }
    return {};
}

// Any whole number: one outside the pages is told when the run reads the document (exit status 1).
std::string apply_page(CliParseState& s, const std::string& v) {
    int page = 0;
    if (!read_whole_number(v, -999999, 999999, page)) return "--page takes a page number";
    s.options.page = page;
    return {};
}

std::string apply_pages(CliParseState& s, const std::string& v) {
    if (v != "all") return "--pages takes \"all\" (or give --page N)";
    s.options.all_pages = true;
    return {};
}

std::string apply_into(CliParseState& s, const std::string& v) {
    if (v.empty()) return "--into needs a file name";
    s.options.into.push_back(v);
    return {};
}

std::string apply_background(CliParseState& s, const std::string& v) {
    if (!read_colour(v, s.options.background)) return "--background takes a colour as RRGGBB";
    return {};
}

std::string apply_at(CliParseState& s, const std::string& v) {
    DateTime when;
    if (!read_date_time(v, when))
        return "--at takes a date and time as \"YYYY-MM-DD HH:MM:SS\" (years 2000..2099), not \"" + v + "\"";
    s.options.at = v;
    return {};
}

std::string apply_help(CliParseState& s, const std::string&) {
    s.options.help = true;
    return {};
}

std::string apply_version(CliParseState& s, const std::string&) {
    s.options.version = true;
    return {};
}

const CliOptionSpec kOptions[] = {
    {.name = "--serial",
     .value = "DEVICE",
     .group = CliOptionGroup::kLink,
     .help = "38400 baud, 8 data bits, even parity, 1 stop bit, as the tool",
     .apply = apply_serial,
     .online = true},
    {.name = "--tcp",
     .value = "HOST[:PORT]",
     .group = CliOptionGroup::kLink,
     .help = "client role; PORT defaults to 9004 (IPv6 with a port: [ADDR]:PORT).\n"
             "May be given several times: one unit each, numbered in the order given",
     .apply = apply_tcp,
     .online = true},
    {.name = "--hosts",
     .value = "FILE",
     .group = CliOptionGroup::kLink,
     .help = "client role: every unit listed in FILE, one HOST[:PORT] a line (blank\n"
             "lines and # comments ignored); may be mixed with --tcp",
     .apply = apply_hosts,
     .online = true},
    {.name = "--listen",
     .value = "[HOST:]PORT",
     .group = CliOptionGroup::kLink,
     .help = "server role: wait until --units N units have connected, then run\n"
             "COMMAND against every one of them at the same time (PORT 0: any free\n"
             "port, printed on stderr)",
     .apply = apply_listen,
     .online = true},
    {.name = "--rs485",
     .value = "ADDRS",
     .group = CliOptionGroup::kRun,
     .help = "with --serial: RS-485 framing; ADDRS 0..31, a list with ranges (1,3,5-9),\n"
             "or \"broadcast\"; the units of the bus are served one after another",
     .apply = apply_rs485,
     .repeatable = false,
     .once_refusal = "--rs485 is given once (a list: 1,3,5-9)",
     .links = link_bit(Link::kSerial),
     .link_refusal = "--rs485 goes with --serial",
     .online = true},
    {.name = "--units",
     .value = "N",
     .group = CliOptionGroup::kRun,
     .help = "with --listen: units to wait for, 1..96 (default 1)",
     .apply = apply_units,
     .links = link_bit(Link::kListen),
     .link_refusal = "--units and --wait go with --listen",
     .online = true},
    {.name = "--wait",
     .value = "SECONDS",
     .group = CliOptionGroup::kRun,
     .help = "with --listen: give up if not all have connected by then (default 60)",
     .apply = apply_wait,
     .links = link_bit(Link::kListen),
     .link_refusal = "--units and --wait go with --listen",
     .online = true},
    {.name = "--jobs",
     .value = "N",
     .group = CliOptionGroup::kRun,
     .help = "units served at the same time (default 32 with --tcp/--hosts, every\n"
             "unit with --listen); a unit that cannot be reached fails alone",
     .apply = apply_jobs,
     .links = link_bit(Link::kTcp) | link_bit(Link::kListen),
     .link_refusal = "--jobs does not go with --serial: the units of a bus take turns",
     .online = true},
    {.name = "--pace",
     .value = "MS|reply",
     .group = CliOptionGroup::kRun,
     .help = "step pacing: a fixed tick in ms (default: the tool's own pace for that\n"
             "sequence: 400 for read-back and send-all, 400/300 for glyph reads,\n"
             "2000 for glyph registration), or \"reply\": next step as soon as the\n"
             "previous reply arrived (a broadcast step does not wait)",
     .apply = apply_pace,
     .online = true},
    {.name = "--reply-timeout",
     .value = "SECONDS",
     .group = CliOptionGroup::kRun,
     .help = "how long one answer may take (default 3); also bounds --tcp connecting",
     .apply = apply_reply_timeout,
     .online = true},
    {.name = "--log",
     .value = "FILE",
     .group = CliOptionGroup::kRun,
     .help = "write the communication log of the run to FILE: every line sent and\n"
             "received on each unit's link, one per line as \"DATE TIME.mmm  送信|受信\n"
             "LINK  TEXT\" (non-printable bytes as <XX>); written at the end of the run",
     .apply = apply_log,
     .online = true},
    {.name = "--report",
     .value = "FILE.json",
     .group = CliOptionGroup::kRun,
     .help = "write the run's results for scripts: per unit its number, link, command,\n"
             "result (ok/failed), reason, steps done and planned, seconds and, with\n"
             "--verify, the differences; then the totals. Written whole or not at all",
     .apply = apply_report,
     .online = true},
    {.name = "--json",
     .group = CliOptionGroup::kRun,
     .help = "the run's report on stdout instead of the result lines",
     .apply = apply_json,
     .online = true},
    {.name = "--verify",
     .group = CliOptionGroup::kRun,
     .help = "send-all, restore, glyphs register: read the unit back afterwards and\n"
             "compare; differences are listed on stdout as diff lists them and give\n"
             "exit status 1",
     .apply = apply_verify,
     .commands = kSendAllRestoreRegister,
     .command_refusal = "--verify goes with send-all, restore and glyphs register",
     .online = true},
    {.name = "--check",
     .group = CliOptionGroup::kCommand,
     .help = "apply: read and compare only; no setting command goes to the unit",
     .apply = apply_check,
     .commands = command_bit(Command::kApply),
     .command_refusal = "--check goes with apply only",
     .online = true},
    {.name = "--diff",
     .group = CliOptionGroup::kCommand,
     .help = "apply: list each change on stdout as diff lists them, the unit's\n"
             "value before SOURCE's",
     .apply = apply_diff,
     .commands = command_bit(Command::kApply),
     .command_refusal = "--diff goes with apply only",
     .online = true},
    {.name = "--quiet",
     .short_name = "-q",
     .group = CliOptionGroup::kRun,
     .help = "no progress and no summary (errors are still printed)",
     .apply = apply_quiet},
    {.name = "--output",
     .short_name = "-o",
     .value = "FILE",
     .group = CliOptionGroup::kCommand,
     .help = "read-back, glyphs read, glyphs bmp, render: the file written\n(render --pages all: the folder)",
     .apply = apply_output,
     .commands = command_bit(Command::kReadBack) | command_bit(Command::kGlyphRead) |
                 command_bit(Command::kGlyphBmp) | command_bit(Command::kRender),
     .command_refusal = "-o does not go with this command"},
    {.name = "--number",
     .value = "N|all",
     .group = CliOptionGroup::kCommand,
     .help = "glyphs convert, glyphs bmp: the registration number",
     .apply = apply_number,
     .commands = command_bit(Command::kGlyphConvert) | command_bit(Command::kGlyphBmp),
     .command_refusal = "--number does not go with this command"},
    {.name = "--into",
     .value = "TARGET",
     .group = CliOptionGroup::kCommand,
     .help = "glyphs convert: a target bank file (at most two)",
     .apply = apply_into,
     .commands = command_bit(Command::kGlyphConvert),
     .command_refusal = "--into goes with glyphs convert only"},
    {.name = "--background",
     .value = "RRGGBB",
     .group = CliOptionGroup::kCommand,
     .help = "glyphs bmp: the list's background colour (default F0F0F0)",
     .apply = apply_background,
     .commands = command_bit(Command::kGlyphBmp),
     .command_refusal = "--background goes with glyphs bmp only"},
    {.name = "--page",
     .value = "N",
     .group = CliOptionGroup::kCommand,
     .help = "render: the page drawn, 1..64",
     .apply = apply_page,
     .repeatable = false,
     .once_refusal = "--page is given once",
     .commands = command_bit(Command::kRender),
     .command_refusal = "--page goes with render only"},
    {.name = "--pages",
     .value = "all",
     .group = CliOptionGroup::kCommand,
     .help = "render: every page, into the folder of -o",
     .apply = apply_pages,
     .commands = command_bit(Command::kRender),
     .command_refusal = "--pages goes with render only"},
    {.name = "--at",
     .value = "\"YYYY-MM-DD HH:MM:SS\"",
     .group = CliOptionGroup::kCommand,
     .help = "set-clock: this date and time instead of the computer's (2000..2099)",
     .apply = apply_at,
     .commands = command_bit(Command::kSetClock),
     .command_refusal = "--at goes with set-clock only",
     .online = true},
    {.name = "--help",
     .short_name = "-h",
     .group = CliOptionGroup::kProgram,
     .help = "this text",
     .apply = apply_help},
    {.name = "--version",
     .group = CliOptionGroup::kProgram,
     .help = "the version of this build",
     .apply = apply_version},
};

}  // namespace

std::span<const CliOptionSpec> cli_option_table() {
    return kOptions;
}

const CliOptionSpec* find_cli_option(std::string_view name) {
    const auto row = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const CliOptionSpec& o) {
        return o.name == name || (!o.short_name.empty() && o.short_name == name);
    });
    return row == std::end(kOptions) ? nullptr : row;
}

bool CliParseState::was_given(std::string_view option) const {
    const CliOptionSpec* row = find_cli_option(option);
    if (!row) return false;
    const auto index = static_cast<std::size_t>(row - cli_option_table().data());
    return index < given.size() && given[index];
}

}  // namespace tvx
