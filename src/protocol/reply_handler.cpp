#include "protocol/reply_handler.h"

#include <algorithm>

#include "glyphs/glyph_store.h"
#include "protocol/line_assembler.h"
#include "protocol/line_format.h"
#include "protocol/reply_decoders.h"

namespace tvx {
namespace {

enum class Match {
    kExact,   // the whole line, CR LF included, is the text followed by CR LF
    kPrefix,  // the line starts with the text
};

enum class Action { kSuccess, kMenu, kGlyph, kDecode, kVersion, kModeDifference, kError };

struct ReplyRow {
    std::string_view text;
    Match serial;
    Match tcp;
    Action action;
    const GlyphSize* glyph_size = nullptr;
    std::string_view serial_notice = {};
    std::string_view tcp_notice = {};
};

// The classification, in order: the first row that matches wins. "CABC" comes before "CA" and the
// bitmap data lines before "FB", whose prefixes they start with.
constexpr ReplyRow kReplyRows[] = {
    {"GO", Match::kExact, Match::kPrefix, Action::kSuccess},
    {"MENU", Match::kExact, Match::kExact, Action::kMenu, nullptr, "Menu Display", "Menu Display"},
    {"FBML", Match::kPrefix, Match::kPrefix, Action::kGlyph, &kLarge},
    {"FBMM", Match::kPrefix, Match::kPrefix, Action::kGlyph, &kMedium},
    {"FBMS", Match::kPrefix, Match::kPrefix, Action::kGlyph, &kSmall},
    {"ACA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ADO", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ADT", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"AM", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"AP", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ARO", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"CABC", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"CA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"CBS", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"CFS", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"CI", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"CWL", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"FB", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"IDO", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"IDP", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ISS", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"PAS", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"POSP", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"RM", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"SD", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"TSDO", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"TSDR", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"TSDS", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"VLBC", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"VN", Match::kPrefix, Match::kPrefix, Action::kVersion},
    {"EAA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"EGA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"EIA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"EMA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ESM", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"EPN", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ECT", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"EKA", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"ETR", Match::kPrefix, Match::kPrefix, Action::kDecode},
    {"GN", Match::kExact, Match::kPrefix, Action::kModeDifference},
    {"E0", Match::kExact, Match::kPrefix, Action::kError, nullptr, "Framing Error", "Socket Framing"},
    {"E1", Match::kExact, Match::kPrefix, Action::kError, nullptr, "Parity Error", "Parity Error"},
    {"E2", Match::kExact, Match::kPrefix, Action::kError, nullptr, "Over Run Error", "Socket Over run"},
    {"E3", Match::kExact, Match::kPrefix, Action::kError, nullptr, "Command Error", "Socket Command"},
};

enum class Entry { kSerial, kTcp };

bool matches(const ReplyRow& row, Entry entry, std::string_view line) {
    const Match match = entry == Entry::kSerial ? row.serial : row.tcp;
    if (line.substr(0, row.text.size()) != row.text) return false;
    return match == Match::kPrefix || line.substr(row.text.size()) == "\r\n";
}

bool is_data_row(const ReplyRow& row) {
    return row.action == Action::kGlyph || row.action == Action::kDecode || row.action == Action::kVersion;
}

// While a read sequence runs only the data line it waits for is decoded: the row of its mnemonic, the
// page or day it asked for, and on RS-485 the address of the unit it asked.
bool is_awaited_line(const AwaitedRead& awaited, const ReplyRow& row, std::string_view line,
                     std::string_view address) {
    return !awaited.mnemonic.empty() && row.text == awaited.mnemonic &&
           line.substr(0, awaited.line_start.size()) == awaited.line_start && address == awaited.address;
}

// Anything but the awaited data line answers the read with something else, unless it has been read.
void note_other_answer(AwaitedRead& awaited) {
    if (awaited.active && !awaited.mnemonic.empty() && awaited.answer != ReadAnswer::kRead)
        awaited.answer = ReadAnswer::kOther;
}

// How one line answers the step a sequence awaits. The first line answers it; an error reply sticks
// whatever comes after it; a read's own data line still counts after something else came first.
void note_step_answer(AwaitedStep& step, StepAnswer line_answer) {
    if (!step.active) return;
    if (line_answer == StepAnswer::kErrorReply || step.answer == StepAnswer::kNone) {
        step.answer = line_answer;
        return;
    }
    if (step.wants_data && step.answer == StepAnswer::kUnexpected && line_answer == StepAnswer::kAsAsked)
        step.answer = line_answer;
}

// Classifies one whole line (after any address, given apart) and acts on it; the same for both entries
// but for the notices and the exactness of the status comparisons.
void classify(ToolState& tool, Notices& notices, std::string_view line, std::string_view address,
              Entry entry) {
    tool.link.error_reply = 0;
    const auto row = std::find_if(std::begin(kReplyRows), std::end(kReplyRows),
                                  [&](const ReplyRow& r) { return matches(r, entry, line); });
    AwaitedRead& awaited = tool.reply.awaited;
    const bool data_line = row != std::end(kReplyRows) && is_data_row(*row);
    if (!data_line) note_other_answer(awaited);
    // What this line is to a step that asked: a status, or for a read the data line it asked for.
    StepAnswer answer = StepAnswer::kUnexpected;
    const bool step_reads = tool.reply.step.wants_data;
    if (data_line && awaited.active) {
        // The read sequence tells the operator how the whole read went, the version line included.
        if (is_awaited_line(awaited, *row, line, address) && decode_data_line(tool.model, row->text, line)) {
            awaited.answer = ReadAnswer::kRead;
            answer = StepAnswer::kAsAsked;
        } else {
            note_other_answer(awaited);
        }
    } else if (row != std::end(kReplyRows)) {
        const bool in_batch = tool.model.run.batch_step != 0;
        switch (row->action) {
            case Action::kSuccess:
                if (!step_reads) answer = StepAnswer::kAsAsked;
                if (!in_batch && tool.glyphs.bank_sequence_active == 0) {
                    if (entry == Entry::kSerial) {
                        tool.link.success_pending = 1;
                    } else {
                        notices.notify_success("Socket ＯＫ");
                    }
                }
                break;
            case Action::kMenu:
            case Action::kError:
                tool.link.error_reply = 1;
                answer = StepAnswer::kErrorReply;
                // Noted before the box: its event loop lets the sequence's timer tick meanwhile.
                note_step_answer(tool.reply.step, answer);
                notices.notify_error(entry == Entry::kSerial ? row->serial_notice : row->tcp_notice);
                break;
            case Action::kGlyph:
                if (store_glyph_data_line(tool.glyphs, *row->glyph_size, without_line_end(line)) && step_reads)
                    answer = StepAnswer::kAsAsked;
                break;
            case Action::kDecode:
                decode_data_line(tool.model, row->text, line);
                break;
            case Action::kVersion:
                decode_data_line(tool.model, row->text, line);
                if (entry == Entry::kSerial) tool.link.success_pending = 1;
                break;
            case Action::kModeDifference:
                answer = StepAnswer::kModeDifference;
                ++tool.link.mode_differences;
                note_step_answer(tool.reply.step, answer);
                if (!in_batch) {
                    if (entry == Entry::kSerial) {
                        notices.notify_error("Mode Difference");
                    } else {
                        notices.notify_success("Socket mode difference");
                    }
                }
                break;
        }
    }
    note_step_answer(tool.reply.step, answer);
    tool.glyphs.glyph_reply_pending = 0;
}

}  // namespace

void handle_serial_reply(ToolState& tool, Notices& notices, std::string_view line) {
    tool.link.reply_expected = 0;
    tool.link.reply_timeout_ticks = 0;
    ++tool.link.replies_handled;
    std::string_view address;
    if (tool.config.rs_control == 1) {
        address = line.substr(0, 2);
        line.remove_prefix(address.size());
    }
    classify(tool, notices, line, address, Entry::kSerial);
}

void handle_tcp_reply(ToolState& tool, Notices& notices, std::string_view chunk) {
    assemble_lines(
        tool.reply.tcp_line, ReplyState::kTcpAccumulationLimit, chunk,
        [&](const std::string& line) {
            ++tool.link.replies_handled;
            classify(tool, notices, line, {}, Entry::kTcp);
        },
        [&] { handle_unreadable_reply(tool); });
}

void handle_unreadable_reply(ToolState& tool) {
    // Too long to be any answer of the unit's, but an answer all the same.
    tool.link.reply_expected = 0;
    tool.link.reply_timeout_ticks = 0;
    ++tool.link.replies_handled;
    note_other_answer(tool.reply.awaited);
    note_step_answer(tool.reply.step, StepAnswer::kUnexpected);
    tool.glyphs.glyph_reply_pending = 0;
}

}  // namespace tvx
