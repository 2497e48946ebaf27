// tvx230-cli's argument reading: the input is the argument list, arguments separated by zero bytes.
// Whatever the arguments, the reading either refuses them with a reason or gives options that keep the
// ranges the rest of the program relies on.

#include "cli/cli_numbers.h"
#include "cli/cli_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tvx::fuzz::require;
    const std::string_view text = tvx::fuzz::as_text(data, size);
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start <= text.size() && arguments.size() < 64) {
        const std::size_t end = text.find('\0', start);
        arguments.emplace_back(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }

    const tvx::CliParse parse = tvx::parse_cli_options(arguments);
    if (!parse.options) {
        require(!parse.error.empty(), "a refusal says why");
        return 0;
    }
    const tvx::CliOptions& o = *parse.options;
    if (o.help || o.version) return 0;  // either prints its text and nothing else
    using Link = tvx::CliOptions::Link;
    require(!o.needs_link() || o.link != Link::kNone, "a command that talks to units has a link");
    if (o.link == Link::kTcp && !o.host.empty())
        require(o.port >= 1 && o.port <= 65535, "--tcp port in range");
    for (const auto& t : o.tcp_targets) {
        require(!t.hosts_file.empty() || (t.port >= 1 && t.port <= 65535), "every --tcp port in range");
    }
    for (const int a : o.rs485_addresses) require(a >= 0 && a <= 32, "every --rs485 address in range");
    require(o.job_limit() >= 1, "at least one unit at a time");
    if (o.link == Link::kListen) require(o.port >= 0 && o.port <= 65535, "--listen port in range");
    require(o.units >= 1 && o.units <= tvx::kMaxTcpUnits, "--units in range");
    if (o.rs485) require(*o.rs485 >= 0 && *o.rs485 <= 32, "--rs485 in range");
    if (o.pace_ms) require(*o.pace_ms > 0, "--pace positive");
    require(o.reply_timeout_ms() > 0, "reply time-out positive");
    require(o.line.size() <= tvx::kMaxSendLine, "send line fits the framing");
    tvx::DateTime at;
    require(o.at.empty() || tvx::read_date_time(o.at, at), "--at is a real date and time");
    (void)tvx::output_for_unit(o.output, o.units);
    return 0;
}
