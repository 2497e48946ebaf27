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
        kDiff
    };

    Link link = Link::kNone;
    std::string device;        // --serial
    std::string host;          // --tcp: the unit; --listen: the local address ("" for any)
    int port = 0;              // --tcp: 1..65535; --listen: 0..65535 (0: any free port, which is reported)
    std::optional<int> rs485;  // 0..31, or 32 for "broadcast"
    int units = 1;
    double wait_seconds = 60;
    std::optional<int> pace_ms;  // a fixed tick; none for the tool's own pace of the command
    bool pace_reply = false;     // the next step as soon as the answer to the previous one arrived
    double reply_timeout_seconds = 3;
    std::string log;     // --log: the communication log of the run goes to this file
    bool quiet = false;  // no progress and no summary; errors are still printed
    bool help = false;
    bool version = false;  // --version: print the version of the build and nothing else

    Command command = Command::kSend;
    std::string line;                       // send
    std::string input;                      // send-all, glyphs register, convert and bmp: the file read
    std::string output;                     // -o
    std::string compared;                   // diff: the second document (input is the first)
    const GlyphSize* glyph_size = nullptr;  // glyphs read
    std::optional<int> number;              // --number; none for "all"
    std::vector<std::string> into;          // glyphs convert targets
    unsigned background = 0xF0F0F0;         // glyphs bmp: the list's background colour, 0xRRGGBB

    // The command talks to units (all but the offline glyph commands and diff).
    bool needs_link() const {
        return command != Command::kGlyphConvert && command != Command::kGlyphBmp &&
               command != Command::kDiff;
    }
    int reply_timeout_ms() const;
};

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

// The name of unit n's output: "{n}" replaced by n everywhere.
std::string output_for_unit(std::string_view pattern, int n);

// The longest command line "send" takes: what the serial framing can carry with CR LF added.
inline constexpr std::size_t kMaxSendLine = 1019;

}  // namespace tvx
