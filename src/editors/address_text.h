#pragma once

#include <optional>
#include <string_view>

#include "config/configuration.h"

namespace tvx {

// What an address field's operator is told when its address cannot be taken.
inline constexpr std::string_view kAddressRefused = "IPアドレスは0から255までの数字4つで設定してください。";

// An address field's text ("10.1.2.3", "192.168.001.003") as four octets: exactly four runs of one to
// three digits joined by dots, each 0 to 255. Anything else (an empty or missing octet, 300, letters)
// gives no address, so a set button never sends or stores what the operator did not type.
std::optional<HostAddress> parse_address_text(std::string_view text);

}  // namespace tvx
