#include "cli/cli_options.h"

#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/cli_command_table.h"
#include "cli/cli_option_table.h"
#include "cli/console.h"
#include "cli/unit_targets.h"
#include "config/safe_file.h"

namespace tvx {
namespace {

CliOptions parsed(const std::vector<std::string>& arguments) {
    const CliParse result = parse_cli_options(arguments);
    EXPECT_TRUE(result.options.has_value()) << result.error;
    return result.options.value_or(CliOptions{});
}

TEST(CliOptions, TheContractsFormsAreRead) {
    CliOptions o = parsed({"--tcp", "unit.example", "read-back", "-o", "a.dat"});
    EXPECT_EQ(o.link, CliOptions::Link::kTcp);
    EXPECT_EQ(o.host, "unit.example");
    EXPECT_EQ(o.port, 9004);
    EXPECT_EQ(o.command, CliOptions::Command::kReadBack);
    EXPECT_EQ(o.output, "a.dat");
    EXPECT_FALSE(o.pace_ms.has_value());
    EXPECT_FALSE(o.pace_reply);
    EXPECT_EQ(o.reply_timeout_ms(), 3000);

    o = parsed({"--tcp", "[::1]:4711", "--pace", "reply", "--reply-timeout", "0.25", "send", "RVN"});
    EXPECT_EQ(o.host, "::1");
    EXPECT_EQ(o.port, 4711);
    EXPECT_TRUE(o.pace_reply);
    EXPECT_EQ(o.reply_timeout_ms(), 250);
    EXPECT_EQ(o.line, "RVN");

    o = parsed({"--serial", "/dev/ttyS1", "--rs485", "broadcast", "--pace", "150", "send-all", "x.dat"});
    EXPECT_EQ(o.device, "/dev/ttyS1");
    EXPECT_EQ(o.rs485, 32);
    EXPECT_EQ(o.pace_ms, 150);
    EXPECT_EQ(o.input, "x.dat");
    EXPECT_EQ(parsed({"--serial", "/dev/x", "--rs485", "05", "send", "RVN"}).rs485, 5);

    o = parsed({"--listen", "0.0.0.0:9004", "--units", "96", "--wait", "5", "glyphs", "read", "small", "-o",
                "b{n}"});
    EXPECT_EQ(o.host, "0.0.0.0");
    EXPECT_EQ(o.units, 96);
    EXPECT_EQ(o.wait_seconds, 5);
    EXPECT_EQ(o.glyph_size, &kSmall);
    EXPECT_EQ(parsed({"--listen", "9004", "send", "RVN"}).port, 9004);
    EXPECT_EQ(parsed({"--listen", "*:9004", "send", "RVN"}).host, "*");
    EXPECT_EQ(parsed({"--listen", "LocalHost:9004", "send", "RVN"}).host, "localhost");
    EXPECT_EQ(parsed({"--tcp", "unit_7.site.example.", "send", "RVN"}).host, "unit_7.site.example.");
    EXPECT_EQ(parsed({"--tcp", "fe80::1", "send", "RVN"}).host, "fe80::1");

    o = parsed({"glyphs", "convert", "a.TLL", "--number", "all", "--into", "b.tlm", "--into", "c.tls"});
    EXPECT_EQ(o.command, CliOptions::Command::kGlyphConvert);
    EXPECT_FALSE(o.number.has_value());
    EXPECT_EQ(o.into.size(), 2u);
    o = parsed({"glyphs", "bmp", "a.tlm", "--number=160", "-o", "g.bmp", "--background", "D4D0C8"});
    EXPECT_EQ(o.number, 160);
    EXPECT_EQ(o.background, 0xD4D0C8u);
    o = parsed({"--listen", "[::1]:0", "--json", "set-clock"});
    EXPECT_EQ(o.command, CliOptions::Command::kSetClock);
    EXPECT_TRUE(o.json);
    EXPECT_EQ(o.at, "");
    // A leap day, the last second of the range: real dates and times.
    EXPECT_EQ(parsed({"--serial", "/dev/x", "--rs485", "1-3", "set-clock", "--at", "2024-02-29 23:59:59"}).at,
              "2024-02-29 23:59:59");
    EXPECT_EQ(parsed({"--tcp", "a", "--at=2000-02-29 00:00:00", "set-clock"}).at, "2000-02-29 00:00:00");
    EXPECT_EQ(parsed({"--tcp", "a", "--json", "send", "RVN"}).json, true);
    EXPECT_EQ(parsed({"--listen", "1", "--wait", ".5", "send", "RVN"}).wait_seconds, 0.5);
    EXPECT_TRUE(parsed({"--help"}).help);
    // --version needs no link and no command, like --help.
    EXPECT_TRUE(parsed({"--version"}).version);
    EXPECT_FALSE(parsed({"--help"}).version);
}

TEST(CliOptions, MistakesAreUsageErrors) {
    const std::vector<std::vector<std::string>> refused = {
        {},
        {"read-back", "-o", "a.dat"},                            // no link
        {"--tcp", "h", "--serial", "/dev/x", "send", "RVN"},     // two links
        {"--tcp", "h", "--rs485", "3", "send", "RVN"},           // RS-485 needs the serial line
        {"--serial", "/dev/x", "--rs485", "32", "send", "RVN"},  // 0..31 or broadcast
        {"--tcp", "h", "--units", "2", "send", "RVN"},           // units go with --listen
        {"--listen", "1", "--units", "97", "send", "RVN"},
        {"--listen", "1", "--units", "2", "read-back", "-o", "a.dat"},  // two units, one file
        {"--tcp", "h:0", "send", "RVN"},
        {"--listen", "::1:9004", "send", "RVN"},  // a bare IPv6 address takes no port
        {"--tcp", "h", "--pace", "0", "send-all", "a.dat"},
        {"--tcp", "h", "--pace", "fast", "send-all", "a.dat"},
        {"--tcp", "h", "--reply-timeout", "-1", "send", "RVN"},
        {"--tcp", "h", "send", "RVN\r"},  // CR LF is added, not given
        {"--tcp", "h", "send", std::string(1020, 'A')},
        {"--tcp", "h", "send"},
        {"--tcp", "h", "read-back"},  // -o missing
        {"--tcp", "h", "send-all", "a.dat", "-o", "b.dat"},
        {"--tcp", "h", "fetch"},
        {"--tcp", "h", "glyphs", "read", "huge", "-o", "x"},
        {"--tcp", "h", "glyphs", "register", "bank.txt"},
        {"glyphs", "convert", "a.tll", "--number", "5", "--into", "b.tll"},   // same size
        {"glyphs", "convert", "a.tls", "--number", "5"},                      // no target
        {"glyphs", "convert", "a.tll", "--number", "71", "--into", "b.tls"},  // no number 71 of large
        {"glyphs", "bmp", "a.tll", "--number", "all", "-o", "x.bmp"},
        {"glyphs", "bmp", "a.tls", "--number", "3", "-o", "x.bmp", "--background", "red"},
        {"--tcp", "h", "glyphs", "bmp", "a.tls", "--number", "3", "-o", "x.bmp"},  // offline
        {"--tcp", "h", "--frobnicate", "send", "RVN"},
        {"--serial", "/dev/x", "--rs485", "3,3", "send", "RVN"},  // an address twice
        {"--serial", "/dev/x", "--rs485", "9-5", "send", "RVN"},
        {"--serial", "/dev/x", "--rs485", "1,broadcast", "send", "RVN"},
        {"--serial", "/dev/x", "--rs485", "1,3", "--jobs", "2", "send", "RVN"},  // a bus takes turns
        {"--serial", "/dev/x", "--rs485", "1,3", "read-back", "-o", "a.dat"},    // two units, one file
        {"--tcp", "a", "--tcp", "b", "backup", "dir"},                           // two units, one folder
        {"--tcp", "a", "--listen", "9004", "send", "RVN"},
        {"--tcp", "h", "--verify", "read-back", "-o", "a.dat"},
        {"--serial", "/dev/x", "--rs485", "broadcast", "--verify", "send-all", "a.dat"},
        {"--serial", "/dev/x", "--rs485", "broadcast", "apply", "a.dat"},  // nobody answers the reads
        {"--tcp", "h", "--check", "send-all", "a.dat"},
        {"--tcp", "h", "--diff", "restore", "dir"},
        {"show", "a.dat", "b.dat"},
        {"--tcp", "h", "show", "a.dat"},
        {"--tcp", "h", "--jobs", "0", "send", "RVN"},
        {"--report", "r.json", "diff", "a.dat", "b.dat"},
        {"--json", "diff", "a.dat", "b.dat"},
        // Addresses: a port needs brackets around IPv6; an address is an address or a name, not both.
        {"--tcp", "127.0.0.1:41000:5", "send", "RVN"},
        {"--tcp", "::1:41000", "send", "RVN"},
        {"--tcp", "[127.0.0.1]:41000", "send", "RVN"},
        {"--tcp", "[::1", "send", "RVN"},
        {"--tcp", "[::1]x", "send", "RVN"},
        {"--tcp", "300.1.1.1", "send", "RVN"},
        {"--tcp", "10.0.0", "send", "RVN"},
        {"--tcp", "010.0.0.1", "send", "RVN"},
        {"--tcp", "unit one", "send", "RVN"},
        {"--tcp", "unit/1:9004", "send", "RVN"},
        {"--tcp", "-unit", "send", "RVN"},
        {"--tcp", "h:", "send", "RVN"},
        {"--tcp", "h:+5", "send", "RVN"},
        {"--tcp", "h:9004 ", "send", "RVN"},
        {"--listen", "elsewhere:9004", "send", "RVN"},
        {"--listen", ":9004", "send", "RVN"},
        {"--listen", "-1", "send", "RVN"},
        // Numbers: the whole text, in one notation.
        {"--listen", "1", "--wait", "0.5x", "send", "RVN"},
        {"--listen", "1", "--wait", "0,5", "send", "RVN"},
        {"--listen", "1", "--wait", "1e3", "send", "RVN"},
        {"--listen", "1", "--wait", "inf", "send", "RVN"},
        {"--listen", "1", "--wait", "1..5", "send", "RVN"},
        {"--listen", "1", "--units", " 2", "send", "RVN"},
        {"--tcp", "h", "--reply-timeout", "0x10", "send", "RVN"},
        {"--tcp", "h", "--pace", "-5", "send-all", "a.dat"},
        {"--tcp", "h", "--jobs", "4097", "send", "RVN"},
        {"glyphs", "bmp", "a.tls", "--number", "3x", "-o", "x.bmp"},
        {"glyphs", "bmp", "a.tls", "--number", "3", "-o", "x.bmp", "--background", "0xF0F0"},
        {"glyphs", "bmp", "a.tls", "--number", "3", "-o", "x.bmp", "--background", "-F0F0F"},
        // set-clock and --at.
        {"set-clock"},  // needs a link
        {"--tcp", "h", "set-clock", "now"},
        {"--tcp", "h", "--at", "2024-01-01 00:00:00", "send", "RVN"},
        {"--tcp", "h", "--at", "2023-02-29 12:00:00", "set-clock"},  // not a leap year
        {"--tcp", "h", "--at", "1999-12-31 23:59:59", "set-clock"},
        {"--tcp", "h", "--at", "2100-01-01 00:00:00", "set-clock"},
        {"--tcp", "h", "--at", "2024-04-31 00:00:00", "set-clock"},
        {"--tcp", "h", "--at", "2024-01-01 24:00:00", "set-clock"},
        {"--tcp", "h", "--at", "2024-01-01 23:60:00", "set-clock"},
        {"--tcp", "h", "--at", "2024-01-01T00:00:00", "set-clock"},
        {"--tcp", "h", "--at", "2024-1-01 00:00:00", "set-clock"},
        {"--tcp", "h", "--at", "2024-01-01 00:00:00 ", "set-clock"},
        {"--tcp", "h", "--verify", "set-clock"},
    };
    for (const auto& arguments : refused) {
        const CliParse result = parse_cli_options(arguments);
        std::string shown;
        for (const auto& a : arguments) shown += a.substr(0, 20) + " ";
        EXPECT_FALSE(result.options.has_value()) << shown;
        EXPECT_FALSE(result.error.empty()) << shown;
    }
}

TEST(CliOptions, FleetsOfUnitsAndTheirFiles) {
    CliOptions o = parsed({"--tcp", "a", "--hosts", "site.txt", "--tcp", "[::1]:7", "--jobs", "8", "--report",
                           "r.json", "--verify", "send-all", "x.dat"});
    ASSERT_EQ(o.tcp_targets.size(), 3u);
    EXPECT_EQ(o.tcp_targets[0].host, "a");
    EXPECT_EQ(o.tcp_targets[1].hosts_file, "site.txt");
    EXPECT_EQ(o.tcp_targets[2].port, 7);
    EXPECT_EQ(o.job_limit(), 8);
    EXPECT_TRUE(o.verify);
    EXPECT_EQ(o.report, "r.json");
    EXPECT_EQ(parsed({"--tcp", "a", "send", "RVN"}).job_limit(), kDefaultJobs);
    EXPECT_EQ(parsed({"--listen", "1", "--units", "50", "send", "RVN"}).job_limit(), 50);

    o = parsed({"--serial", "/dev/x", "--rs485", "1,3,5-9", "send-all", "x.dat"});
    EXPECT_EQ(o.rs485_addresses, (std::vector<int>{1, 3, 5, 6, 7, 8, 9}));
    EXPECT_EQ(o.units, 7);
    EXPECT_EQ(o.job_limit(), 1);
    o = parsed({"--tcp", "a", "--tcp", "b", "backup", "site/{n}"});
    EXPECT_EQ(o.command, CliOptions::Command::kBackup);
    EXPECT_EQ(o.dir, "site/{n}");
    EXPECT_EQ(parsed({"--tcp", "a", "--tcp", "b", "--verify", "restore", "one"}).command,
              CliOptions::Command::kRestore);

    QTemporaryDir dir;
    const std::string path = (dir.path() + "/hosts").toStdString();
    write_file_replacing(path, "# units\n  10.0.0.1  \n\n[::1]:9005 # lab\r\nunit-3:1\n");
    std::vector<CliOptions::TcpTarget> read;
    std::string error;
    ASSERT_TRUE(read_hosts_file(path, read, error)) << error;
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].host, "10.0.0.1");
    EXPECT_EQ(read[0].port, 9004);
    EXPECT_EQ(read[1].host, "::1");
    EXPECT_EQ(read[1].port, 9005);
    EXPECT_EQ(read[2].host, "unit-3");
    EXPECT_EQ(read[1].origin, path + " line 4");
    // A line that names no unit is a usage error, as the same text given to --tcp is; a file that cannot be
    // read is not.
    for (const char* bad : {"10.0.0.1\n10.0.0.2:0\n", "10.0.0.1\n::1:41000\n", "10.0.0.1\n1.2.3.4:5:6\n"}) {
        write_file_replacing(path, bad);
        read.clear();
        const HostsFileRead refused = read_hosts_file(path, read, error);
        EXPECT_FALSE(refused) << bad;
        EXPECT_EQ(refused.exit_status(), 2) << bad;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
    EXPECT_EQ(read_hosts_file(path + ".missing", read, error).exit_status(), 1);

    // One --rs485 list names each address once; the refusal quotes both items.
    CliParse twice = parse_cli_options({"--serial", "/dev/x", "--rs485", "1,3-6,5", "send", "RVN"});
    EXPECT_NE(twice.error.find("address 5 is given twice (\"3-6\" and \"5\")"), std::string::npos)
        << twice.error;
}

TEST(UnitTargets, TheSameUnitNamedTwiceIsFoundHoweverItIsSpelt) {
    const auto unit = [](std::string host, int port, std::string origin) {
        CliOptions::TcpTarget t;
        t.host = std::move(host);
        t.port = port;
        t.origin = std::move(origin);
        return t;
    };
    std::vector<std::string> asked;
    const HostResolver resolver = [&](const std::vector<std::string>& names) {
        asked.insert(asked.end(), names.begin(), names.end());
        std::vector<std::vector<std::string>> addresses;
        for (const std::string& name : names) {
            if (name == "localhost") {
                addresses.push_back({"::1", "127.0.0.1"});
            } else if (name == "unit-7") {
                addresses.push_back({"10.0.0.7"});
            } else {
                addresses.emplace_back();  // does not resolve
            }
        }
        return addresses;
    };

    EXPECT_FALSE(
        duplicate_units({unit("127.0.0.1", 41000, "argument 2"), unit("127.0.0.1", 41001, "argument 4"),
                         unit("unit-7", 41000, "argument 6"), unit("nowhere", 41000, "argument 8"),
                         unit("10.0.0.8", 41000, "argument 10")},
                        resolver));
    const auto twice =
        duplicate_units({unit("127.0.0.1", 41000, "argument 2"), unit("127.0.0.1", 41000, "argument 4"),
                         unit("localhost", 41000, "site.txt line 3")},
                        resolver);
    ASSERT_TRUE(twice);
    EXPECT_NE(twice->find("127.0.0.1:41000 (argument 2) and 127.0.0.1:41000 (argument 4)"), std::string::npos)
        << *twice;
    EXPECT_NE(twice->find("127.0.0.1:41000 (argument 2) and localhost:41000 (site.txt line 3)"),
              std::string::npos)
        << *twice;

    // An IPv4 address written as IPv6, and a name and its address; a name that does not resolve is the same
    // name in any case. Each name is looked up once.
    asked.clear();
    const auto spelt = duplicate_units(
        {unit("::ffff:10.0.0.7", 9004, "argument 2"), unit("unit-7", 9004, "a line 1"),
         unit("Nowhere", 1, "a line 2"), unit("nowhere", 1, "a line 3"), unit("unit-7", 9005, "a line 4")},
        resolver);
    ASSERT_TRUE(spelt);
    EXPECT_NE(spelt->find("(argument 2) and unit-7:9004 (a line 1) reach the same unit at 10.0.0.7:9004"),
              std::string::npos)
        << *spelt;
    EXPECT_NE(spelt->find("Nowhere:1 (a line 2) and nowhere:1 (a line 3)"), std::string::npos) << *spelt;
    EXPECT_EQ(spelt->find("9005"), std::string::npos) << *spelt;
    EXPECT_EQ(asked, (std::vector<std::string>{"unit-7", "Nowhere"}));

    // A fleet named twice over: the first pairs, and how many more.
    std::vector<CliOptions::TcpTarget> fleet;
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i <= 30; ++i) fleet.push_back(unit("10.1.0." + std::to_string(i), 9004, "x"));
    }
    const auto many = duplicate_units(fleet, resolver);
    ASSERT_TRUE(many);
    EXPECT_NE(many->find("... and 20 more"), std::string::npos) << *many;
}

// Under a locale with a decimal comma, as a program that took LC_ALL from a German environment runs,
// every number of the arguments still means what it says.
TEST(CliOptions, NumbersReadTheSameUnderADecimalCommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            found = name;
            break;
        }
    }
    if (!found) GTEST_SKIP() << "no decimal-comma locale is installed (scripts/setup generates de_DE.UTF-8)";
    struct Restore {
        std::string locale;
        ~Restore() { std::setlocale(LC_ALL, locale.c_str()); }
    } restore{before};
    ASSERT_EQ(std::localeconv()->decimal_point[0], ',') << found;
    ASSERT_EQ(std::strtod("0.5", nullptr), 0.0);  // what a locale-bound reading would have made of it

    CliOptions o = parsed({"--listen", "1", "--wait", "0.5", "--reply-timeout", "2.25", "send", "RVN"});
    EXPECT_EQ(o.wait_seconds, 0.5);
    EXPECT_EQ(o.reply_timeout_ms(), 2250);
    EXPECT_FALSE(parse_cli_options({"--listen", "1", "--wait", "0,5", "send", "RVN"}).options);
    EXPECT_EQ(parsed({"--tcp", "10.0.0.1:4711", "--jobs", "12", "send", "RVN"}).port, 4711);
    EXPECT_EQ(
        parsed({"glyphs", "bmp", "a.tls", "--number", "7", "-o", "x", "--background", "0a0B0c"}).background,
        0x0A0B0Cu);
}

// The manual page describes what the tables hold: every option, every command and every exit status with
// its cases, and nothing the program does not have.
TEST(CliOptions, TheManualPageDescribesTheTables) {
    const std::filesystem::path page =
        std::filesystem::path(TVX230_SOURCE_DIR) / "data" / "man" / "tvx230-cli.1";
    std::ifstream in(page);
    ASSERT_TRUE(in) << page;
    std::stringstream read;
    read << in.rdbuf();
    // The words as a reader sees them: no font changes, hyphens and quotes as such, one space between words.
    std::string text = std::regex_replace(read.str(), std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    text = std::regex_replace(text, std::regex(R"(\\\(lq|\\\(rq)"), "\"");
    const auto section = [&](const std::string& name) {
        const std::size_t begin = text.find(".SH " + name + "\n");
        if (begin == std::string::npos) return std::string();
        const std::size_t end = text.find("\n.SH ", begin + 1);
        return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    };
    // Running text of roff lines: the request dropped, the arguments of the alternating font requests
    // (.BR, .IR...) joined as they print, one space between words.
    const auto prose = [](const std::string& roff) {
        std::string out;
        std::istringstream lines(roff);
        for (std::string line; std::getline(lines, line);) {
            std::string request;
            if (!line.empty() && line[0] == '.') {
                const std::size_t space = line.find(' ');
                request = line.substr(1, space == std::string::npos ? std::string::npos : space - 1);
                line = space == std::string::npos ? std::string() : line.substr(space + 1);
            }
            if (request.size() == 2 && request.find_first_not_of("BIR") == std::string::npos) {
                std::string joined;
                for (std::size_t i = 0; i < line.size();) {
                    if (line[i] == ' ') {
                        ++i;
                    } else if (line[i] == '"') {
                        const std::size_t close = line.find('"', i + 1);
                        joined += line.substr(i + 1, close - i - 1);
                        i = close == std::string::npos ? line.size() : close + 1;
                    } else {
                        const std::size_t end = line.find(' ', i);
                        joined += line.substr(i, end - i);
                        i = end == std::string::npos ? line.size() : end;
                    }
                }
                line = joined;
            }
            out += " " + line;
        }
        out = std::regex_replace(out, std::regex(R"(["\s]+)"), " ");
        return out.size() > 1 ? out.substr(1, out.back() == ' ' ? out.size() - 2 : std::string::npos) : out;
    };

    std::set<std::string> table_options;
    for (const CliOptionSpec& option : cli_option_table()) {
        table_options.insert(std::string(option.name));
        const std::string described =
            section(option.group == CliOptionGroup::kLink ? "LINK" : "OPTIONS") + section("COMMANDS");
        EXPECT_NE(described.find(std::string(option.name)), std::string::npos) << option.name;
        if (!option.short_name.empty()) {
            EXPECT_NE(text.find(".BR " + std::string(option.short_name) + " "), std::string::npos)
                << option.short_name;
        }
    }
    const std::regex long_option("--[a-z][a-z0-9-]*");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), long_option); it != std::sregex_iterator();
         ++it)
        EXPECT_TRUE(table_options.count(it->str())) << "the page describes " << it->str();

    // Each item of COMMANDS is a command of the table, and each command has its item.
    const std::string commands = section("COMMANDS");
    std::set<std::string> items;
    for (std::size_t at = commands.find(".TP\n"); at != std::string::npos;
         at = commands.find(".TP\n", at + 1)) {
        const std::size_t begin = at + 4;
        items.insert(prose(commands.substr(begin, commands.find('\n', begin) - begin)));
    }
    for (const CliCommandSpec& command : cli_command_table()) {
        const std::string name(command.name);
        const auto item = std::find_if(items.begin(), items.end(), [&](const std::string& i) {
            return i == name || i.rfind(name + " ", 0) == 0 || i.rfind(name + "|", 0) == 0;
        });
        EXPECT_NE(item, items.end()) << command.name;
    }
    EXPECT_EQ(items.size(), cli_command_table().size());

    // EXIT STATUS: each status, and every case the table names for it.
    const std::string statuses = prose(section("EXIT STATUS"));
    for (const CliExitStatus& status : cli_exit_statuses()) {
        const std::size_t at = statuses.find(" " + std::to_string(status.code) + " ");
        ASSERT_NE(at, std::string::npos) << statuses;
        std::string cases(status.cases);
        cases = std::regex_replace(cases, std::regex("; "), ", ");
        std::size_t begin = 0;
        while (begin < cases.size()) {
            const std::size_t comma = cases.find(", ", begin);
            const std::string one = cases.substr(begin, comma - begin);
            EXPECT_NE(statuses.find(one, at), std::string::npos) << status.code << ": " << one << "\n"
                                                                 << statuses;
            begin = comma == std::string::npos ? cases.size() : comma + 2;
        }
    }
}

TEST(CliOptions, FileNamesOfSizesAndUnits) {
    EXPECT_EQ(glyph_size_of_file("dir.tls/bank.TLL"), &kLarge);
    EXPECT_EQ(glyph_size_of_file("bank.tlm"), &kMedium);
    EXPECT_EQ(glyph_size_of_file("C:\\glyphs\\bank.Tls"), &kSmall);
    EXPECT_EQ(glyph_size_of_file(".tll"), nullptr);
    EXPECT_EQ(glyph_size_of_file("bank.tll.bak"), nullptr);
    EXPECT_EQ(output_for_unit("site/{n}/unit{n}.dat", 12), "site/12/unit12.dat");
    EXPECT_EQ(output_for_unit("unit.dat", 3), "unit.dat");
}

TEST(Console, ProgressLinesAndMessagesAboveTheBlockOnATerminal) {
    EXPECT_EQ(Console::progress_line("u", 50, "step 1 of 2", 10), "u [#####     ]  50%  step 1 of 2");
    EXPECT_EQ(Console::progress_line("u", 140, "", 4), "u [####] 100%");

    std::ostringstream plain;
    Console pipe(plain, false);
    pipe.show_progress({"a", "b"});
    pipe.message("hello");
    EXPECT_EQ(plain.str(), "hello\n");  // no bars where nobody watches
    // A message quoting a unit or a file keeps its lines but shows its other control bytes.
    pipe.message("a\tb\nc\x1b[2J\x7f");
    EXPECT_EQ(plain.str(), "hello\na\tb\nc<1B>[2J<7F>\n");

    std::ostringstream screen;
    Console terminal(screen, true);
    terminal.show_progress({"a", "b"});
    terminal.message("hello");
    EXPECT_EQ(screen.str(), "\r\x1b[Ka\n\r\x1b[Kb\n\x1b[2A\r\x1b[Jhello\n\r\x1b[Ka\n\r\x1b[Kb\n");

    // A small screen: lines cut to its width, and no more rows than it has.
    std::ostringstream small;
    Console tiny(small, true, 24, 4);
    tiny.show_progress({std::string(30, 'x'), "b", "c", "d"});
    EXPECT_EQ(small.str(), "\r\x1b[K" + std::string(23, 'x') + "\n\r\x1b[K... and 3 more\n");
}

}  // namespace
}  // namespace tvx
