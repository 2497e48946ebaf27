#include "editors/address_text.h"

namespace tvx {

std::optional<HostAddress> parse_address_text(std::string_view text) {
    HostAddress address{};
    std::size_t start = 0;
    for (std::size_t octet = 0; octet < address.size(); ++octet) {
        const std::size_t dot = text.find('.', start);
        const bool last = octet + 1 == address.size();
        if (last != (dot == std::string_view::npos)) return std::nullopt;
        const std::string_view run = text.substr(start, last ? std::string_view::npos : dot - start);
        if (run.empty() || run.size() > 3) return std::nullopt;
        int value = 0;
        for (char c : run) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value > 255) return std::nullopt;
        address[octet] = static_cast<std::uint8_t>(value);
        start = dot + 1;
    }
    return address;
}

}  // namespace tvx
