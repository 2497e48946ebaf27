#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/glyph_model.h"

namespace tvx {

// What one run of tvx230-cli is asked to do, as read from its arguments.
struct CliOptions {
    enum class Link { kNone, kSerial, kTcp, kListen };
    enum class Command {
        kReadBack,
        kSendAll,
        kSend,
        kGlyphRead,
        kGlyphRegister,
        kGlyphConvert,
        kGlyphBmp,
        kDiff,
        kBackup,
        kRestore,
        kSetClock,
        kApply,
        kShow,
        kRender
    };

    // One unit reached as TCP client: --tcp HOST[:PORT], or every line of a --hosts file (kept in the
    // order given and read when the run begins).
    struct TcpTarget {
        std::string host;
        int port = 0;
        std::string hosts_file;  // set: this entry stands for the units listed in that file
        std::string origin;      // where the unit was named, for messages: "argument 3", "site.txt line 4"
    };

    Link link = Link::kNone;
    std::string device;  // --serial
    std::string host;    // --tcp: the first unit; --listen: the local address ("" for any)
    int port = 0;        // --tcp: 1..65535; --listen: 0..65535 (0: any free port, which is reported)
    std::vector<TcpTarget> tcp_targets;  // --tcp and --hosts, in the order given
    std::optional<int> rs485;            // 0..31, or 32 for "broadcast"; the first of rs485_addresses
    std::vector<int> rs485_addresses;    // every address of the bus, served one after another
    int units = 1;                       // --listen: units to wait for; otherwise the units known so far
    std::optional<int> jobs;             // --jobs: units served at the same time
    double wait_seconds = 60;
    std::optional<int> pace_ms;  // a fixed tick; none for the tool's own pace of the command
    bool pace_reply = false;     // the next step as soon as the answer to the previous one arrived
    double reply_timeout_seconds = 3;
    std::string log;      // --log: the communication log of the run goes to this file
    std::string report;   // --report: the run's results as JSON go to this file
    bool verify = false;  // --verify: read the unit back after sending and compare
    bool quiet = false;   // no progress and no summary; errors are still printed
    bool help = false;
    bool version = false;  // --version: print the version of the build and nothing else
    bool json = false;     // --json: the run's report goes to standard output

    Command command = Command::kSend;
    std::string line;                       // send
    std::string input;                      // send-all, glyphs register, convert, bmp, show: the file read;
                                            // apply: the document or backup folder
    std::string output;                     // -o
    std::string compared;                   // diff: the second document (input is the first)
    std::string dir;                        // backup and restore: the folder (may hold {n})
    const GlyphSize* glyph_size = nullptr;  // glyphs read
    std::optional<int> number;              // --number; none for "all"
    std::vector<std::string> into;          // glyphs convert targets
    unsigned background = 0xF0F0F0;         // glyphs bmp: the list's background colour, 0xRRGGBB
    std::string at;                         // set-clock --at: "YYYY-MM-DD HH:MM:SS"; "" for the local time
    bool check = false;                     // apply --check: compare only, send nothing
    bool diff = false;                      // apply --diff: the changes on stdout
    std::optional<int> page;                // render --page N (checked against the pages when run)
    bool all_pages = false;                 // render --pages all

    // The command talks to units (all but the offline glyph commands and diff).
    bool needs_link() const {
        return command != Command::kGlyphConvert && command != Command::kGlyphBmp &&
               command != Command::kDiff && command != Command::kShow && command != Command::kRender;
    }
    int reply_timeout_ms() const;
    // How many units run at the same time: one on a serial bus (they share the line), --jobs or 32 as
    // TCP client, every unit that connected in the server role unless --jobs says otherwise.
    int job_limit() const;
};

inline constexpr int kDefaultJobs = 32;
// The most units one run reaches as TCP client (--tcp and --hosts together).
inline constexpr int kMaxTcpUnits = 4096;

struct CliParse {
    std::optional<CliOptions> options;
    std::string error;  // why the arguments were refused (usage error) when there are no options
};

// Reads the arguments after the program name. Any refusal is a usage error.
CliParse parse_cli_options(const std::vector<std::string>& arguments);

// The --help text.
std::string cli_usage();

// The glyph size of a bank file by its extension (".tll", ".tlm", ".tls", in any case), or none.
const GlyphSize* glyph_size_of_file(std::string_view path);

// "HOST[:PORT]", "V6" or "[V6]:PORT" of --tcp and of a --hosts line; PORT defaults to 9004. HOST must be an
// address or a host name (see valid_host): "127.0.0.1:41000:5" and "::1:41000" are refused. False with
// the reason in error.
bool parse_tcp_target(std::string_view text, std::string& host, int& port, std::string& error);

// What reading a --hosts file came to. A file that cannot be read is a failure (exit status 1); a line
// that names no unit, or more units than a run reaches, is a usage error (2), as on the command line.
enum class HostsFileStatus { kRead, kUnreadable, kRefused };
struct HostsFileRead {
    HostsFileStatus status = HostsFileStatus::kUnreadable;
    explicit operator bool() const { return status == HostsFileStatus::kRead; }
    int exit_status() const { return status == HostsFileStatus::kRefused ? 2 : 1; }
};

// The units of a --hosts file: one HOST[:PORT] a line; blank lines and "#" comments are ignored. Each
// unit's origin names the file and line. On failure, the file's name, the line and the reason in error.
HostsFileRead read_hosts_file(const std::string& path, std::vector<CliOptions::TcpTarget>& out,
                              std::string& error);

// The name of unit n's output: "{n}" replaced by n everywhere.
std::string output_for_unit(std::string_view pattern, int n);

// The longest command line "send" takes: what the serial framing can carry with CR LF added.
inline constexpr std::size_t kMaxSendLine = 1019;

}  // namespace tvx
