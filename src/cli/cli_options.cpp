#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "config/input_file.h"
#include "config/path_text.h"

namespace tvx {
namespace {

constexpr int kDefaultTcpPort = 9004;
constexpr int kMaxUnits = 96;

bool parse_int(std::string_view text, int min, int max, int& value) {
    if (text.empty() || text.size() > 9) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= min && value <= max;
}

// Seconds as a whole or decimal number ("3", "0.5"), within min..max.
bool parse_seconds(std::string_view text, double min, double max, double& value) {
    if (text.empty() || text.size() > 12) return false;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    if (text == ".") return false;
    try {
        value = std::stod(std::string(text));
    } catch (...) {
        return false;
    }
    return std::isfinite(value) && value >= min && value <= max;
}

// "HOST:PORT", "[V6]:PORT" or, when the port may be left out, "HOST".
bool split_host_port(std::string_view text, bool port_required, std::string& host, std::string_view& port) {
    port = {};
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return false;
        host = std::string(text.substr(1, close - 1));
        const std::string_view rest = text.substr(close + 1);
        if (rest.empty()) return !port_required && !host.empty();
        if (rest.front() != ':') return false;
        port = rest.substr(1);
        return !host.empty();
    }
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        if (port_required) return false;
        host = std::string(text);
        return !host.empty();
    }
    // A bare IPv6 address has several colons: it is all host, and needs brackets to carry a port.
    if (text.find(':') != colon) {
        if (port_required) return false;
        host = std::string(text);
        return true;
    }
    host = std::string(text.substr(0, colon));
    port = text.substr(colon + 1);
    return true;
}

const GlyphSize* size_by_name(std::string_view name) {
    if (name == "large") return &kLarge;
    if (name == "medium") return &kMedium;
    if (name == "small") return &kSmall;
    return nullptr;
}

bool printable_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

class ArgumentReader {
  public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    bool done() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    // The value of an option: the next argument, or what follows "=" in "--option=value".
    bool value(const std::string& option, std::optional<std::string>& inline_value, std::string& out) {
        if (inline_value) {
            out = *inline_value;
            inline_value.reset();
            return true;
        }
        if (done()) {
            error = option + " needs a value";
            return false;
        }
        out = take();
        return true;
    }

    std::string error;

  private:
    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
};

constexpr int kBroadcast = 32;

// "5", "1,3,5-9" or "broadcast": every address once, in the order given.
bool parse_rs485_addresses(std::string_view text, std::vector<int>& out, std::string& error) {
    error = "--rs485 takes addresses 0..31 (a list such as 1,3,5-9) or \"broadcast\", not \"" +
            std::string(text) + "\"";
    out.clear();
    if (text == "broadcast") {
        out.push_back(kBroadcast);
        return true;
    }
    if (text.empty() || text.size() > 200) return false;
    std::vector<bool> seen(kBroadcast, false);
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const std::size_t dash = item.find('-');
        int first = 0;
        int last = 0;
        const auto address = [](std::string_view digits, int& value) {
            return digits.size() <= 2 && parse_int(digits, 0, kBroadcast - 1, value);
        };
        if (dash == std::string_view::npos) {
            if (!address(item, first)) return false;
            last = first;
        } else if (!address(item.substr(0, dash), first) || !address(item.substr(dash + 1), last) ||
                   last < first) {
            return false;
        }
        for (int a = first; a <= last; ++a) {
            if (seen[static_cast<std::size_t>(a)]) {
                error = "--rs485: address " + std::to_string(a) + " is given twice";
                return false;
            }
            seen[static_cast<std::size_t>(a)] = true;
            out.push_back(a);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    error.clear();
    return true;
}

// What several units need that one does not: a name per unit for what they write.
std::string several_units_problem(const CliOptions& o) {
    if (!o.output.empty() && o.output.find("{n}") == std::string::npos)
        return "with several units the output file must hold {n}";
    if (o.command == CliOptions::Command::kBackup && o.dir.find("{n}") == std::string::npos)
        return "with several units the backup folder must hold {n}";
    return {};
}
}  // namespace

int CliOptions::job_limit() const {
    if (link == Link::kSerial) return 1;
    if (jobs) return *jobs;
    return link == Link::kListen ? units : kDefaultJobs;
}

bool parse_tcp_target(std::string_view text, std::string& host, int& port, std::string& error) {
    std::string_view port_text;
    if (!split_host_port(text, false, host, port_text) || host.empty()) {
        error = "--tcp takes HOST[:PORT], not \"" + std::string(text) + "\"";
        return false;
    }
    port = kDefaultTcpPort;
    if ((!port_text.empty() || text.back() == ':') && !parse_int(port_text, 1, 65535, port)) {
        error = "--tcp: the port must be 1..65535";
        return false;
    }
    return true;
}

bool read_hosts_file(const std::string& path, std::vector<CliOptions::TcpTarget>& out, std::string& error) {
    // Only a regular file of a hosts file's size: a FIFO or a device would keep the reading waiting.
    std::string bytes;
    const InputFileRead read = read_input_file(path_from_utf8(path), bytes, std::size_t{1} << 20);
    if (read.status == InputFileStatus::kTooLarge) {
        error = path + ": more than a hosts file holds";
        return false;
    }
    if (!read) {
        error = "Can't file open (" + path + ")";
        return false;
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
        if (line.find_first_of(" \t") != std::string_view::npos || !printable_ascii(line) ||
            !parse_tcp_target(line, target.host, target.port, why)) {
            error = path + ": line " + std::to_string(line_number) + ": not HOST[:PORT]";
            return false;
        }
        out.push_back(std::move(target));
        if (out.size() > static_cast<std::size_t>(kMaxTcpUnits)) {
            error = path + ": at most " + std::to_string(kMaxTcpUnits) + " units as TCP client";
            return false;
        }
    }
    return true;
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
    CliOptions options;
    ArgumentReader reader(arguments);
    std::vector<std::string> words;  // the command and its arguments, in order
    bool pace_given = false;
    bool units_given = false;
    bool wait_given = false;
    int tcp_units = 0;  // --tcp given so far (--hosts files are read when the run begins)
    std::optional<std::string> background_text;
    const auto refuse = [](std::string error) { return CliParse{std::nullopt, std::move(error)}; };
    const auto set_link = [&](CliOptions::Link link) {
        if (options.link != CliOptions::Link::kNone) return false;
        options.link = link;
        return true;
    };

    bool options_ended = false;
    while (!reader.done()) {
        const std::string& argument = reader.take();
        if (options_ended || argument.size() < 2 || argument[0] != '-' || argument == "-") {
            words.push_back(argument);
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
        std::string value;
        const auto need = [&]() { return reader.value(name, inline_value, value); };

        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--quiet" || name == "-q") {
            options.quiet = true;
        } else if (name == "--log") {
            if (!need()) return refuse(reader.error);
            if (value.empty()) return refuse("--log needs a file name");
            options.log = value;
        } else if (name == "--serial") {
            if (!need()) return refuse(reader.error);
            if (!set_link(CliOptions::Link::kSerial))
                return refuse("give exactly one of --serial, --tcp, --listen");
            if (value.empty()) return refuse("--serial needs a device");
            options.device = value;
        } else if (name == "--tcp" || name == "--hosts") {
            if (!need()) return refuse(reader.error);
            if (options.link != CliOptions::Link::kTcp && !set_link(CliOptions::Link::kTcp))
                return refuse("give exactly one of --serial, --tcp, --listen");
            CliOptions::TcpTarget target;
            if (name == "--hosts") {
                if (value.empty()) return refuse("--hosts needs a file name");
                target.hosts_file = value;
            } else {
                std::string error;
                if (!parse_tcp_target(value, target.host, target.port, error)) return refuse(error);
                ++tcp_units;
                if (options.host.empty()) {
                    options.host = target.host;
                    options.port = target.port;
                }
            }
            options.tcp_targets.push_back(std::move(target));
            if (options.tcp_targets.size() > static_cast<std::size_t>(kMaxTcpUnits))
                return refuse("at most " + std::to_string(kMaxTcpUnits) + " units as TCP client");
        } else if (name == "--listen") {
            if (!need()) return refuse(reader.error);
            if (!set_link(CliOptions::Link::kListen))
                return refuse("give exactly one of --serial, --tcp, --listen");
            std::string_view port = value;
            options.host.clear();
            if (value.find(':') != std::string::npos &&
                (!split_host_port(value, true, options.host, port) || options.host.empty()))
                return refuse("--listen takes [HOST:]PORT, not \"" + value + "\"");
            if (!parse_int(port, 0, 65535, options.port))
                return refuse("--listen: the port must be 0..65535");
        } else if (name == "--rs485") {
            if (!need()) return refuse(reader.error);
            if (!options.rs485_addresses.empty()) return refuse("--rs485 is given once (a list: 1,3,5-9)");
            std::string error;
            if (!parse_rs485_addresses(value, options.rs485_addresses, error)) return refuse(error);
            options.rs485 = options.rs485_addresses.front();
        } else if (name == "--units") {
            if (!need()) return refuse(reader.error);
            if (!parse_int(value, 1, kMaxUnits, options.units)) return refuse("--units takes 1..96");
            units_given = true;
        } else if (name == "--jobs") {
            if (!need()) return refuse(reader.error);
            int jobs = 0;
            if (!parse_int(value, 1, kMaxTcpUnits, jobs))
                return refuse("--jobs takes 1.." + std::to_string(kMaxTcpUnits));
            options.jobs = jobs;
        } else if (name == "--verify") {
            options.verify = true;
        } else if (name == "--report") {
            if (!need()) return refuse(reader.error);
            if (value.empty()) return refuse("--report needs a file name");
            options.report = value;
        } else if (name == "--wait") {
            if (!need()) return refuse(reader.error);
            if (!parse_seconds(value, 0, 86400, options.wait_seconds)) return refuse("--wait takes seconds");
            wait_given = true;
        } else if (name == "--pace") {
            if (!need()) return refuse(reader.error);
            int ms = 0;
            if (value == "reply") {
                options.pace_reply = true;
                options.pace_ms.reset();
            } else if (parse_int(value, 1, 600000, ms)) {
                options.pace_ms = ms;
                options.pace_reply = false;
            } else {
                return refuse("--pace takes milliseconds (1..600000) or \"reply\"");
            }
            pace_given = true;
        } else if (name == "--reply-timeout") {
            if (!need()) return refuse(reader.error);
            if (!parse_seconds(value, 0.001, 3600, options.reply_timeout_seconds))
                return refuse("--reply-timeout takes seconds (up to 3600)");
        } else if (name == "-o" || name == "--output") {
            if (!need()) return refuse(reader.error);
            if (value.empty()) return refuse("-o needs a file name");
            options.output = value;
        } else if (name == "--number") {
            if (!need()) return refuse(reader.error);
            int number = 0;
            if (value == "all") {
                options.number.reset();
            } else if (parse_int(value, 1, 256, number)) {
                options.number = number;
            } else {
                return refuse("--number takes a registration number or \"all\"");
            }
            words.push_back("\x01number");  // remembers that it was given
        } else if (name == "--into") {
            if (!need()) return refuse(reader.error);
            if (value.empty()) return refuse("--into needs a file name");
            options.into.push_back(value);
        } else if (name == "--background") {
            if (!need()) return refuse(reader.error);
            background_text = value;
        } else {
            return refuse("unknown option " + argument);
        }
        if (inline_value) return refuse(name + " takes no value");
    }
    if (options.help || options.version) return CliParse{options, {}};

    const bool number_given = std::find(words.begin(), words.end(), "\x01number") != words.end();
    words.erase(std::remove(words.begin(), words.end(), "\x01number"), words.end());
    if (words.empty()) return refuse("no command given");

    const std::string& command = words[0];
    const auto count = [&](std::size_t n, const char* form) -> std::optional<std::string> {
        if (words.size() != n) return std::string("usage: ") + form;
        return std::nullopt;
    };
    if (command == "read-back") {
        options.command = CliOptions::Command::kReadBack;
        if (auto e = count(1, "read-back -o FILE.dat")) return refuse(*e);
        if (options.output.empty()) return refuse("read-back needs -o FILE.dat");
    } else if (command == "send-all") {
        options.command = CliOptions::Command::kSendAll;
        if (auto e = count(2, "send-all FILE.dat")) return refuse(*e);
        options.input = words[1];
    } else if (command == "send") {
        options.command = CliOptions::Command::kSend;
        if (auto e = count(2, "send LINE")) return refuse(*e);
        options.line = words[1];
        if (options.line.empty() || !printable_ascii(options.line))
            return refuse("send: LINE must be printable ASCII text (CR LF is added)");
        if (options.line.size() > kMaxSendLine)
            return refuse("send: LINE is longer than " + std::to_string(kMaxSendLine) + " characters");
    } else if (command == "backup" || command == "restore") {
        const bool backup = command == "backup";
        options.command = backup ? CliOptions::Command::kBackup : CliOptions::Command::kRestore;
        if (auto e = count(2, backup ? "backup DIR" : "restore DIR")) return refuse(*e);
        options.dir = words[1];
        if (options.dir.empty()) return refuse(command + " needs a folder");
    } else if (command == "diff") {
        options.command = CliOptions::Command::kDiff;
        if (auto e = count(3, "diff A.dat B.dat")) return refuse(*e);
        options.input = words[1];
        options.compared = words[2];
    } else if (command == "glyphs") {
        if (words.size() < 2) return refuse("glyphs read|register|convert|bmp ...");
        const std::string& what = words[1];
        if (what == "read") {
            options.command = CliOptions::Command::kGlyphRead;
            if (auto e = count(3, "glyphs read large|medium|small -o FILE")) return refuse(*e);
            options.glyph_size = size_by_name(words[2]);
            if (!options.glyph_size) return refuse("glyphs read: the size is large, medium or small");
            if (options.output.empty()) return refuse("glyphs read needs -o FILE");
        } else if (what == "register") {
            options.command = CliOptions::Command::kGlyphRegister;
            if (auto e = count(3, "glyphs register FILE")) return refuse(*e);
            options.input = words[2];
            if (!glyph_size_of_file(options.input))
                return refuse("glyphs register: the file's extension must be .tll, .tlm or .tls");
        } else if (what == "convert") {
            options.command = CliOptions::Command::kGlyphConvert;
            if (auto e = count(3, "glyphs convert FILE --number N|all --into TARGET [--into TARGET]"))
                return refuse(*e);
            options.input = words[2];
            const GlyphSize* from = glyph_size_of_file(options.input);
            if (!from) return refuse("glyphs convert: the file's extension must be .tll, .tlm or .tls");
            if (!number_given) return refuse("glyphs convert needs --number N or --number all");
            if (options.into.empty()) return refuse("glyphs convert needs --into TARGET");
            if (options.into.size() > 2) return refuse("glyphs convert takes at most two targets");
            for (const std::string& target : options.into) {
                const GlyphSize* to = glyph_size_of_file(target);
                if (!to) return refuse("glyphs convert: a target's extension must be .tll, .tlm or .tls");
                if (to == from) return refuse("glyphs convert: a target must be of another size than FILE");
            }
            if (options.into.size() == 2 &&
                glyph_size_of_file(options.into[0]) == glyph_size_of_file(options.into[1]))
                return refuse("glyphs convert: the two targets must be of different sizes");
            if (options.number && *options.number > from->slot_count)
                return refuse("glyphs convert: " + std::string(from->extension) + " banks hold numbers 1.." +
                              std::to_string(from->slot_count));
        } else if (what == "bmp") {
            options.command = CliOptions::Command::kGlyphBmp;
            if (auto e = count(3, "glyphs bmp FILE --number N -o OUT.bmp")) return refuse(*e);
            options.input = words[2];
            const GlyphSize* size = glyph_size_of_file(options.input);
            if (!size) return refuse("glyphs bmp: the file's extension must be .tll, .tlm or .tls");
            if (!number_given || !options.number) return refuse("glyphs bmp needs --number N");
            if (*options.number > size->slot_count)
                return refuse("glyphs bmp: " + std::string(size->extension) + " banks hold numbers 1.." +
                              std::to_string(size->slot_count));
            if (options.output.empty()) return refuse("glyphs bmp needs -o OUT.bmp");
            if (background_text) {
                unsigned colour = 0;
                const std::string& text = *background_text;
                const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), colour, 16);
                if (text.size() != 6 || ec != std::errc() || end != text.data() + text.size())
                    return refuse("--background takes a colour as RRGGBB");
                options.background = colour;
            }
        } else {
            return refuse("glyphs read|register|convert|bmp ...");
        }
    } else {
        return refuse("unknown command \"" + command + "\"");
    }

    // Options that belong to other commands or links are mistakes worth telling.
    const CliOptions::Command c = options.command;
    if (!options.output.empty() && c != CliOptions::Command::kReadBack &&
        c != CliOptions::Command::kGlyphRead && c != CliOptions::Command::kGlyphBmp)
        return refuse("-o does not go with this command");
    if (number_given && c != CliOptions::Command::kGlyphConvert && c != CliOptions::Command::kGlyphBmp)
        return refuse("--number does not go with this command");
    if (!options.into.empty() && c != CliOptions::Command::kGlyphConvert)
        return refuse("--into goes with glyphs convert only");
    if (background_text && c != CliOptions::Command::kGlyphBmp)
        return refuse("--background goes with glyphs bmp only");
    if (options.verify && c != CliOptions::Command::kSendAll && c != CliOptions::Command::kRestore &&
        c != CliOptions::Command::kGlyphRegister)
        return refuse("--verify goes with send-all, restore and glyphs register");

    if (options.needs_link()) {
        if (options.link == CliOptions::Link::kNone) return refuse("give one of --serial, --tcp, --listen");
        if (options.rs485 && options.link != CliOptions::Link::kSerial)
            return refuse("--rs485 goes with --serial");
        if ((units_given || wait_given) && options.link != CliOptions::Link::kListen)
            return refuse("--units and --wait go with --listen");
        if (options.jobs && options.link == CliOptions::Link::kSerial)
            return refuse("--jobs does not go with --serial: the units of a bus take turns");
        if (options.verify && options.rs485 == kBroadcast)
            return refuse("--verify needs an answer: not with --rs485 broadcast");
        if (options.link == CliOptions::Link::kTcp) options.units = std::max(1, tcp_units);
        if (options.link == CliOptions::Link::kSerial && !options.rs485_addresses.empty())
            options.units = static_cast<int>(options.rs485_addresses.size());
        const bool hosts_file = std::any_of(options.tcp_targets.begin(), options.tcp_targets.end(),
                                            [](const auto& t) { return !t.hosts_file.empty(); });
        // With a --hosts file the count is known once it has been read; the run checks it then.
        if (options.units > 1 || hosts_file) {
            if (const std::string problem = several_units_problem(options); !problem.empty() && !hosts_file)
                return refuse(problem);
        }
    } else if (options.link != CliOptions::Link::kNone || options.rs485 || units_given || wait_given ||
               pace_given || !options.log.empty() || !options.report.empty() || options.jobs) {
        const std::string what = c == CliOptions::Command::kDiff ? command : command + " " + words[1];
        return refuse(what + " works offline: no link options, no --log and no --report");
    }
    return CliParse{options, {}};
}

std::string cli_usage() {
    return R"(Usage: tvx230-cli LINK [OPTIONS] COMMAND [ARGS]
       tvx230-cli glyphs convert|bmp ...      (offline, no LINK)
       tvx230-cli diff A.dat B.dat            (offline, no LINK)

The headless companion of the TVX-230 tool: reads units back into settings documents, sends documents,
single command lines and glyph banks, to one unit or to a whole fleet at once.

LINK, exactly one of:
  --serial DEVICE          38400 baud, 8 data bits, even parity, 1 stop bit, as the tool
  --tcp HOST[:PORT]        client role; PORT defaults to 9004. May be given several times: one
                           unit each, numbered in the order given
  --hosts FILE             client role: every unit listed in FILE, one HOST[:PORT] a line (blank
                           lines and # comments ignored); may be mixed with --tcp
  --listen [HOST:]PORT     server role: wait until --units N units have connected, then run
                           COMMAND against every one of them at the same time (PORT 0: any free
                           port, printed on stderr)
OPTIONS:
  --rs485 ADDRS            with --serial: RS-485 framing; ADDRS 0..31, a list with ranges (1,3,5-9),
                           or "broadcast"; the units of the bus are served one after another
  --units N                with --listen: units to wait for, 1..96 (default 1)
  --wait SECONDS           with --listen: give up if not all have connected by then (default 60)
  --jobs N                 units served at the same time (default 32 with --tcp/--hosts, every
                           unit with --listen); a unit that cannot be reached fails alone
  --pace MS|reply          step pacing: a fixed tick in ms (default: the tool's own pace for that
                           sequence: 400 for read-back and send-all, 400/300 for glyph reads,
                           2000 for glyph registration), or "reply": next step as soon as the
                           previous reply arrived (a broadcast step does not wait)
  --reply-timeout SECONDS  how long one answer may take (default 3); also bounds --tcp connecting
  --log FILE               write the communication log of the run to FILE: every line sent and
                           received on each unit's link, one per line as "DATE TIME.mmm  送信|受信
                           LINK  TEXT" (non-printable bytes as <XX>); written at the end of the run
  --report FILE.json       write the run's results for scripts: per unit its number, link, command,
                           result (ok/failed), reason, steps done and planned, seconds and, with
                           --verify, the differences; then the totals. Written whole or not at all
  --verify                 send-all, restore, glyphs register: read the unit back afterwards and
                           compare; differences are listed on stdout as diff lists them (with
                           several units "N<TAB>" in front) and give exit status 1
  -q, --quiet              no progress and no summary (errors are still printed)
  -h, --help               this text
      --version            the version of this build
COMMANDS:
  read-back -o FILE.dat                    the read-back sequence, then the settings document
                                           (with several units FILE may hold {n}, replaced by 1..N)
  send-all FILE.dat                        the full settings send of the document
  send LINE                                one command line (CR LF added); prints the reply line
                                           (with several units: "N<TAB>LINE" for unit N)
  backup DIR                               the settings and the three glyph banks into DIR
                                           (unit.dat, unit.tll, unit.tlm, unit.tls and
                                           manifest.json: version answer, time, link); DIR is
                                           made if need be; with several units DIR holds {n}
  restore DIR                              sends DIR's settings and registers its three banks
                                           (DIR may hold {n}: each unit its own backup)
  glyphs read large|medium|small -o FILE   every slot of that size into a bank file
  glyphs register FILE                     every slot of a bank file (size from its extension)
  glyphs convert FILE --number N --into TARGET [--into TARGET]
                                           offline: derive the other sizes of registration number
                                           N (or "all") into target bank files (size from the
                                           extension; a missing target starts blank)
  glyphs bmp FILE --number N -o OUT.bmp [--background RRGGBB]
                                           offline: the list's thumbnail bitmap of glyph N (96 x 96
                                           pixels; the part beside a medium or small glyph in the
                                           background colour, default F0F0F0)
  diff A.dat B.dat                         offline: every setting that differs between the two
                                           documents, one line each on stdout, tab-separated:
                                           PAGE-OR-DAY, SETTING, VALUE IN A, VALUE IN B; exit
                                           status 0 when they are the same, 1 when they differ

Output names follow the tool's save dialogs: ".dat", the bank's extension or ".bmp" is appended
unless the name already holds it after its first character. Files are replaced whole or not at all.
Documents and bank files are read strictly: a file that cannot be read whole is refused and nothing
is sent.

Exit status: 0 success; 1 failure (error reply, no answer, refused title, file error, units not
connected, log or report not written, differences found by --verify; diff: documents that differ);
2 usage error. Errors go to stderr in the tool's own notice words.
)";
}

}  // namespace tvx
