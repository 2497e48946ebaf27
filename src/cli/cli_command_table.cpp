#include "cli/cli_command_table.h"

#include <algorithm>

namespace tvx {
namespace {

using Command = CliOptions::Command;
using Args = std::span<const std::string>;

const GlyphSize* size_by_name(std::string_view name) {
    if (name == "large") return &kLarge;
    if (name == "medium") return &kMedium;
    if (name == "small") return &kSmall;
    return nullptr;
}

bool printable_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

std::string no_number_beyond(const GlyphSize& size, std::string_view command,
                             const std::optional<int>& number) {
    if (number && *number > size.slot_count)
        return std::string(command) + ": " + std::string(size.extension) + " banks hold numbers 1.." +
               std::to_string(size.slot_count);
    return {};
}

std::string nothing_more(CliParseState&, Args) {
    return {};
}

std::string read_input(CliParseState& s, Args a) {
    s.options.input = a[0];
    return {};
}

std::string read_folder(CliParseState& s, Args a, std::string_view command) {
    if (a[0].empty()) return std::string(command) + " needs a folder";
    s.options.dir = a[0];
    return {};
}

const CliCommandSpec kCommands[] = {
    {"read-back", Command::kReadBack, 0, "read-back -o FILE.dat",
     "the read-back sequence, then the settings document\n"
     "(with several units FILE may hold {n}, replaced by 1..N)",
     [](CliParseState& s, Args) {
         if (s.options.output.empty()) return std::string("read-back needs -o FILE.dat");
         return std::string();
     }},
    {"send-all", Command::kSendAll, 1, "send-all FILE.dat", "the full settings send of the document",
     read_input},
    {"send", Command::kSend, 1, "send LINE",
     "one command line (CR LF added); prints the reply line\n"
     "(with several units: \"N<TAB>LINE\" for unit N)",
     [](CliParseState& s, Args a) {
         if (a[0].empty() || !printable_ascii(a[0]))
             return std::string("send: LINE must be printable ASCII text (CR LF is added)");
         if (a[0].size() > kMaxSendLine)
             return "send: LINE is longer than " + std::to_string(kMaxSendLine) + " characters";
         s.options.line = a[0];
         return std::string();
     }},
    {"set-clock", Command::kSetClock, 0, "set-clock [--at \"YYYY-MM-DD HH:MM:SS\"]",
     "every unit's date and time to this computer's\n"
     "local time (or --at's), timed so that no minute\n"
     "rolls over between its commands",
     nothing_more},
    {"backup", Command::kBackup, 1, "backup DIR",
     "the settings and the three glyph banks into DIR\n"
     "(unit.dat, unit.tll, unit.tlm, unit.tls and\n"
     "manifest.json: sizes and SHA-256 of the files, the\n"
     "version answer, the time); an earlier backup in DIR\n"
     "is replaced whole or stays; with several units DIR\n"
     "holds {n}",
     [](CliParseState& s, Args a) { return read_folder(s, a, "backup"); }},
    {"restore", Command::kRestore, 1, "restore DIR",
     "sends DIR's settings and registers its three banks\n"
     "(DIR may hold {n}: each unit its own backup)",
     [](CliParseState& s, Args a) { return read_folder(s, a, "restore"); }},
    {"glyphs read", Command::kGlyphRead, 1, "glyphs read large|medium|small -o FILE",
     "every slot of that size into a bank file",
     [](CliParseState& s, Args a) {
         s.options.glyph_size = size_by_name(a[0]);
         if (!s.options.glyph_size) return std::string("glyphs read: the size is large, medium or small");
         if (s.options.output.empty()) return std::string("glyphs read needs -o FILE");
         return std::string();
     }},
    {"glyphs register", Command::kGlyphRegister, 1, "glyphs register FILE",
     "every slot of a bank file (size from its extension)",
     [](CliParseState& s, Args a) {
         s.options.input = a[0];
         if (!glyph_size_of_file(a[0]))
             return std::string("glyphs register: the file's extension must be .tll, .tlm or .tls");
         return std::string();
     }},
    {"glyphs convert", Command::kGlyphConvert, 1,
     "glyphs convert FILE --number N|all --into TARGET [--into TARGET]",
     "offline: derive the other sizes of registration number\n"
     "N (or \"all\") into target bank files (size from the\n"
     "extension; a missing target starts blank)",
     [](CliParseState& s, Args a) {
         CliOptions& o = s.options;
         o.input = a[0];
         const GlyphSize* from = glyph_size_of_file(o.input);
         if (!from) return std::string("glyphs convert: the file's extension must be .tll, .tlm or .tls");
         if (!s.was_given("--number")) return std::string("glyphs convert needs --number N or --number all");
         if (o.into.empty()) return std::string("glyphs convert needs --into TARGET");
         if (o.into.size() > 2) return std::string("glyphs convert takes at most two targets");
         for (const std::string& target : o.into) {
             const GlyphSize* to = glyph_size_of_file(target);
             if (!to) return std::string("glyphs convert: a target's extension must be .tll, .tlm or .tls");
             if (to == from) return std::string("glyphs convert: a target must be of another size than FILE");
         }
         if (o.into.size() == 2 && glyph_size_of_file(o.into[0]) == glyph_size_of_file(o.into[1]))
             return std::string("glyphs convert: the two targets must be of different sizes");
         return no_number_beyond(*from, "glyphs convert", o.number);
     }},
    {"glyphs bmp", Command::kGlyphBmp, 1, "glyphs bmp FILE --number N -o OUT.bmp [--background RRGGBB]",
     "offline: the list's thumbnail bitmap of glyph N (96 x 96\n"
     "pixels; the part beside a medium or small glyph in the\n"
     "background colour, default F0F0F0)",
     [](CliParseState& s, Args a) {
         CliOptions& o = s.options;
         o.input = a[0];
         const GlyphSize* size = glyph_size_of_file(o.input);
         if (!size) return std::string("glyphs bmp: the file's extension must be .tll, .tlm or .tls");
         if (!s.was_given("--number") || !o.number) return std::string("glyphs bmp needs --number N");
         if (std::string e = no_number_beyond(*size, "glyphs bmp", o.number); !e.empty()) return e;
         if (o.output.empty()) return std::string("glyphs bmp needs -o OUT.bmp");
         return std::string();
     }},
    {"apply", Command::kApply, 1, "apply SOURCE [--check] [--diff]",
     "makes the unit hold SOURCE (a settings document, or a\n"
     "backup folder: its document and three banks): reads the\n"
     "unit, sends only the commands whose settings differ and\n"
     "registers only the glyphs that differ, then reads back\n"
     "what was sent and compares again; a second apply sends\n"
     "nothing. The report says changed and lists each change",
     [](CliParseState& s, Args a) {
         if (a[0].empty()) return std::string("apply needs a settings document or a backup folder");
         s.options.input = a[0];
         return std::string();
     }},
    {"show", Command::kShow, 1, "show FILE.dat",
     "offline: every setting of the document, one line each\n"
     "on stdout, tab-separated: PAGE-OR-DAY, SETTING, VALUE",
     read_input},
    {"render", Command::kRender, 1, "render FILE.dat --page N -o PAGE.png | --pages all -o DIR",
     "offline: the monitor preview of page N as a PNG of\n"
     "720 x 540 (or of every page into DIR, page01.png to\n"
     "page64.png, with an index.html contact sheet); glyph\n"
     "cells from FILE.tll, FILE.tlm, FILE.tls beside FILE.dat\n"
     "where they are; the picture is the tool's model of\n"
     "the monitor (目安)",
     [](CliParseState& s, Args a) {
         s.options.input = a[0];
         if (s.was_given("--page") == s.was_given("--pages"))
             return std::string("render needs one of --page N and --pages all");
         if (s.options.output.empty())
             return std::string(s.options.all_pages ? "render --pages all needs -o DIR"
                                                    : "render needs -o PAGE.png");
         return std::string();
     }},
    {"diff", Command::kDiff, 2, "diff A.dat B.dat",
     "offline: every setting that differs between the two\n"
     "documents, one line each on stdout, tab-separated:\n"
     "PAGE-OR-DAY, SETTING, VALUE IN A, VALUE IN B; exit\n"
     "status 0 when they are the same, 1 when they differ",
     [](CliParseState& s, Args a) {
         s.options.input = a[0];
         s.options.compared = a[1];
         return std::string();
     }},
};

const CliExitStatus kExitStatuses[] = {
    {0, "success",
     "diff: the documents are the same; apply: the unit holds SOURCE (with --check: it was compared)"},
    {1, "failure",
     "error reply, no answer, refused title, refused hold time, file error, units not connected, "
     "log not written, report not written, differences found by --verify, any unit failing; "
     "diff: the documents differ or one cannot be read whole; "
     "render: a page out of range, a document or bank file that cannot be read whole, an image not written"},
    {2, "usage error",
     "an unknown or misplaced option, a value out of range, a bad address on the command line or in a "
     "hosts file, a unit named twice"},
    {129, "hangup", "SIGHUP: the run stopped, unfinished units reported interrupted"},
    {130, "interrupt", "SIGINT: the run stopped, unfinished units reported interrupted"},
    {143, "terminate", "SIGTERM: the run stopped, unfinished units reported interrupted"},
};

}  // namespace

std::span<const CliCommandSpec> cli_command_table() {
    return kCommands;
}

std::span<const CliExitStatus> cli_exit_statuses() {
    return kExitStatuses;
}

}  // namespace tvx
