#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"

namespace tvx {

// The addresses units are reached at, as the arguments and hosts files give them, and the check that no
// unit is named twice. Reading HOST[:PORT] itself is parse_tcp_target (cli_options.h).

// A host as --tcp, --listen and hosts files take it: an IPv4 address (four decimal parts), an IPv6
// address (brackets not included), or a host name of letters, digits, "-", "_" and dots. A name of digits
// and dots alone must be an IPv4 address. False with the reason in why.
bool valid_host(std::string_view host, std::string& why);

// --listen's "[HOST:]PORT": PORT 0..65535, HOST an address of this host ("localhost", "*", an IPv4 or a
// bracketed IPv6 address), "" when left out. False with the reason in error.
bool parse_listen_address(std::string_view text, std::string& host, int& port, std::string& error);

// "HOST:PORT" as a unit is named in messages: "[ADDR]:PORT" for IPv6.
std::string target_text(const std::string& host, int port);

// "5", "1,3,5-9" or "broadcast" (32): every address once, in the order given. False with the reason in
// error, which names the items at fault.
bool parse_rs485_addresses(std::string_view text, std::vector<int>& out, std::string& error);

// For each host name, the addresses it stands for as text (none when it does not resolve), in the order
// of the names. Only names are asked for: an address given as such is its own answer.
using HostResolver =
    std::function<std::vector<std::vector<std::string>>(const std::vector<std::string>& names)>;

// The system's resolver, several names at a time, so that a slow name server costs one wait, not one per
// unit.
HostResolver system_resolver();

// Two entries reach the same unit when they share an address and the port after name resolution (or, a
// name that does not resolve, the same name and port). Returns a message naming where each pair was
// given (the argument, the hosts file's line), or none when every unit is named once.
std::optional<std::string> duplicate_units(const std::vector<CliOptions::TcpTarget>& units,
                                           const HostResolver& resolve);

}  // namespace tvx
