#include "cli/unit_targets.h"

#include <QHostAddress>
#include <QHostInfo>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <thread>

#include "cli/cli_notices.h"
#include "cli/cli_numbers.h"
#include "config/input_file.h"
#include "config/path_text.h"

namespace tvx {
namespace {

constexpr int kBroadcast = 32;
constexpr int kDefaultTcpPort = 9004;
constexpr std::size_t kMaxHostName = 253;
constexpr std::size_t kMaxLabel = 63;
// Lookups at the same time; each mostly waits for the name server.
constexpr std::size_t kResolverThreads = 8;
// A fleet named twice over would fill the screen; the first pairs tell what happened.
constexpr std::size_t kDuplicatesShown = 10;

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

bool ipv4_address(std::string_view text) {
    int parts = 0;
    while (true) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        int value = 0;
        // "010" means 8 to some resolvers and 10 to others: a leading zero is refused.
        if (part.size() > 3 || (part.size() > 1 && part.front() == '0') ||
            !read_whole_number(part, 0, 255, value))
            return false;
        ++parts;
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return parts == 4;
}

bool ipv6_address(std::string_view text) {
    QHostAddress address;
    return text.find(':') != std::string_view::npos &&
           address.setAddress(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))) &&
           address.protocol() == QAbstractSocket::IPv6Protocol;
}

// One spelling per address, so that "::ffff:127.0.0.1" and "127.0.0.1" compare equal; none for a name.
std::optional<std::string> address_key(const std::string& text) {
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(text))) return std::nullopt;
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped) return QHostAddress(v4).toString().toStdString();
    return address.toString().toStdString();
}

// "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT"; an IPv6 address without brackets is all host (it may take
// no port: "::1:41000" would be ambiguous). port_given tells a ":" was there, even with nothing after it.
bool split_host_port(std::string_view text, std::string& host, std::string_view& port, bool& port_given,
                     std::string& why) {
    port = {};
    port_given = false;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            why = "no closing bracket";
            return false;
        }
        host = std::string(text.substr(1, close - 1));
        if (!ipv6_address(host)) {
            why = "brackets hold an IPv6 address";
            return false;
        }
        const std::string_view rest = text.substr(close + 1);
        if (rest.empty()) return true;
        if (rest.front() != ':') {
            why = "only :PORT may follow the brackets";
            return false;
        }
        port = rest.substr(1);
        port_given = true;
        return true;
    }
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
        host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
        port_given = true;
    } else {
        host = std::string(text);
    }
    return valid_host(host, why);
}

}  // namespace

bool parse_tcp_target(std::string_view text, std::string& host, int& port, std::string& error) {
    std::string_view port_text;
    bool port_given = false;
    std::string why;
    if (!split_host_port(text, host, port_text, port_given, why)) {
        error = "--tcp takes HOST[:PORT], not \"" + std::string(text) + "\" (" + why + ")";
        return false;
    }
    port = kDefaultTcpPort;
    if (port_given && !read_whole_number(port_text, 1, 65535, port)) {
        error = "--tcp: the port must be 1..65535";
        return false;
    }
    return true;
}

bool parse_listen_address(std::string_view text, std::string& host, int& port, std::string& error) {
    const std::string refused = "--listen takes [HOST:]PORT, not \"" + std::string(text) + "\"";
    std::string_view port_text = text;
    host.clear();
    if (text.find(':') != std::string_view::npos) {
        bool port_given = false;
        std::string why;
        const bool any = text.rfind("*:", 0) == 0;
        if (any) {
            host = "*";
            port_text = text.substr(2);
        } else if (!split_host_port(text, host, port_text, port_given, why) || !port_given) {
            error = refused + (why.empty() ? "" : " (" + why + ")");
            return false;
        } else if (lower(host) == "localhost") {
            host = "localhost";
        } else if (!address_key(host)) {
            error = refused + " (HOST is an address of this host)";
            return false;
        }
    }
    if (!read_whole_number(port_text, 0, 65535, port)) {
        error = "--listen: the port must be 0..65535";
        return false;
    }
    return true;
}

bool valid_host(std::string_view host, std::string& why) {
    if (host.empty()) {
        why = "no host";
        return false;
    }
    if (host.find(':') != std::string_view::npos) {
        if (ipv6_address(host)) return true;
        why = "not an IPv6 address (with a port it is written [ADDR]:PORT)";
        return false;
    }
    const bool numeric = std::all_of(host.begin(), host.end(), [](char c) {
        return c == '.' || std::isdigit(static_cast<unsigned char>(c));
    });
    if (numeric) {
        if (ipv4_address(host)) return true;
        why = "not an IPv4 address";
        return false;
    }
    std::string_view name = host;
    if (name.back() == '.') name.remove_suffix(1);  // a fully qualified name may end with its root
    if (name.empty() || name.size() > kMaxHostName) {
        why = "not a host name";
        return false;
    }
    while (true) {
        const std::size_t dot = name.find('.');
        const std::string_view label = name.substr(0, dot);
        const bool label_ok = !label.empty() && label.size() <= kMaxLabel && label.front() != '-' &&
                              label.back() != '-' && std::all_of(label.begin(), label.end(), [](char c) {
                                  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
                              });
        if (!label_ok) {
            why = "not a host name";
            return false;
        }
        if (dot == std::string_view::npos) break;
        name.remove_prefix(dot + 1);
    }
    return true;
}

std::string target_text(const std::string& host, int port) {
    const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return shown + ":" + std::to_string(port);
}

bool parse_rs485_addresses(std::string_view text, std::vector<int>& out, std::string& error) {
    const std::string refused =
        "--rs485 takes addresses 0..31 (a list such as 1,3,5-9) or \"broadcast\", not \"" +
        std::string(text) + "\"";
    error = refused;
    out.clear();
    if (text == "broadcast") {
        out.push_back(kBroadcast);
        error.clear();
        return true;
    }
    if (text.empty() || text.size() > 200) return false;
    std::vector<std::string_view> item_of(kBroadcast);  // the item that named each address
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const std::size_t dash = item.find('-');
        int first = 0;
        int last = 0;
        const auto address = [](std::string_view digits, int& value) {
            return digits.size() <= 2 && read_whole_number(digits, 0, kBroadcast - 1, value);
        };
        if (dash == std::string_view::npos) {
            if (!address(item, first)) return false;
            last = first;
        } else if (!address(item.substr(0, dash), first) || !address(item.substr(dash + 1), last) ||
                   last < first) {
            return false;
        }
        for (int a = first; a <= last; ++a) {
            std::string_view& named = item_of[static_cast<std::size_t>(a)];
            if (!named.empty()) {
                error = "--rs485: address " + std::to_string(a) + " is given twice (\"" + std::string(named) +
                        "\" and \"" + std::string(item) + "\")";
                return false;
            }
            named = item;
            out.push_back(a);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    error.clear();
    return true;
}

HostsFileRead read_hosts_file(const std::string& path, std::vector<CliOptions::TcpTarget>& out,
                              std::string& error) {
    // Only a regular file of a hosts file's size: a FIFO or a device would keep the reading waiting.
    std::string bytes;
    constexpr std::size_t kHostsFileLimit = std::size_t{1} << 20;
    const InputFileRead read = read_input_file(path_from_utf8(path), bytes, kHostsFileLimit);
    if (!read) {
        error = input_file_refusal(path, read.status, kHostsFileLimit);
        return {HostsFileStatus::kUnreadable};
    }
    if (starts_with_byte_order_mark(bytes)) {
        error = byte_order_mark_refusal(path, "a hosts file (plain ASCII)");
        return {HostsFileStatus::kUnreadable};
    }
    std::string_view rest = bytes;
    int line_number = 0;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        ++line_number;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
        if (line.empty()) continue;
        CliOptions::TcpTarget target;
        std::string why;
        const bool printable =
            std::all_of(line.begin(), line.end(), [](char c) { return c > 0x20 && c < 0x7F; });
        if (!printable || !parse_tcp_target(line, target.host, target.port, why)) {
            error = path + ": line " + std::to_string(line_number) + ": not HOST[:PORT]";
            if (printable) error += " (" + why + ")";
            return {HostsFileStatus::kRefused};
        }
        target.origin = path + " line " + std::to_string(line_number);
        out.push_back(std::move(target));
        if (out.size() > static_cast<std::size_t>(kMaxTcpUnits)) {
            error = path + ": at most " + std::to_string(kMaxTcpUnits) + " units as TCP client";
            return {HostsFileStatus::kRefused};
        }
    }
    return {HostsFileStatus::kRead};
}

HostResolver system_resolver() {
    return [](const std::vector<std::string>& names) {
        std::vector<std::vector<std::string>> addresses(names.size());
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t i = next++; i < names.size(); i = next++) {
                const QHostInfo info = QHostInfo::fromName(QString::fromStdString(names[i]));
                for (const QHostAddress& address : info.addresses())
                    addresses[i].push_back(address.toString().toStdString());
            }
        };
        std::vector<std::thread> threads;
        const std::size_t count = std::min(kResolverThreads, names.size());
        for (std::size_t t = 1; t < count; ++t) threads.emplace_back(work);
        work();
        for (std::thread& thread : threads) thread.join();
        return addresses;
    };
}

std::optional<std::string> duplicate_units(const std::vector<CliOptions::TcpTarget>& units,
                                           const HostResolver& resolve) {
    // Names are looked up once each, whatever their spelling's case.
    std::map<std::string, std::size_t> name_index;
    std::vector<std::string> names;
    for (const CliOptions::TcpTarget& unit : units) {
        if (address_key(unit.host)) continue;
        if (name_index.emplace(lower(unit.host), names.size()).second) names.push_back(unit.host);
    }
    std::vector<std::vector<std::string>> resolved;
    if (!names.empty()) resolved = resolve(names);
    resolved.resize(names.size());

    std::map<std::pair<std::string, int>, std::size_t> first_of;  // (address or name, port) -> unit
    std::vector<std::string> lines;
    std::size_t found = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const CliOptions::TcpTarget& unit = units[i];
        std::vector<std::string> keys;
        if (const auto key = address_key(unit.host)) {
            keys.push_back(*key);
        } else {
            keys.push_back("name " + lower(unit.host));
            for (const std::string& address : resolved[name_index.at(lower(unit.host))]) {
                if (const auto key = address_key(address)) keys.push_back(*key);
            }
        }
        std::optional<std::size_t> earlier;
        std::string shared;
        for (const std::string& key : keys) {
            const auto [it, added] = first_of.emplace(std::make_pair(key, unit.port), i);
            if (!added && !earlier) {
                earlier = it->second;
                shared = key;
            }
        }
        if (!earlier) continue;
        if (++found > kDuplicatesShown) continue;
        const CliOptions::TcpTarget& first = units[*earlier];
        const auto named = [](const CliOptions::TcpTarget& t) {
            return target_text(t.host, t.port) + (t.origin.empty() ? "" : " (" + t.origin + ")");
        };
        const std::string where =
            shared.rfind("name ", 0) == 0 ? "" : " at " + target_text(shared, unit.port);
        lines.push_back(named(first) + " and " + named(unit) + " reach the same unit" + where);
    }
    if (lines.empty()) return std::nullopt;
    std::string message = "a unit is named twice:";
    for (const std::string& line : lines) message += "\n  " + line;
    if (found > kDuplicatesShown)
        message += "\n  ... and " + std::to_string(found - kDuplicatesShown) + " more";
    return message;
}

}  // namespace tvx
