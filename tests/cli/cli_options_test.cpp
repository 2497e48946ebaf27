#include "cli/cli_options.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "cli/console.h"
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
    EXPECT_EQ(parsed({"--tcp", "fe80::1", "send", "RVN"}).host, "fe80::1");

    o = parsed({"glyphs", "convert", "a.TLL", "--number", "all", "--into", "b.tlm", "--into", "c.tls"});
    EXPECT_EQ(o.command, CliOptions::Command::kGlyphConvert);
    EXPECT_FALSE(o.number.has_value());
    EXPECT_EQ(o.into.size(), 2u);
    o = parsed({"glyphs", "bmp", "a.tlm", "--number=160", "-o", "g.bmp", "--background", "D4D0C8"});
    EXPECT_EQ(o.number, 160);
    EXPECT_EQ(o.background, 0xD4D0C8u);
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
        {"--tcp", "h", "--jobs", "0", "send", "RVN"},
        {"--report", "r.json", "diff", "a.dat", "b.dat"},
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
    write_file_replacing(path, "10.0.0.1\n10.0.0.2:0\n");
    read.clear();
    EXPECT_FALSE(read_hosts_file(path, read, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
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
