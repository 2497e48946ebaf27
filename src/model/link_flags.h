#pragma once

#include <cstdint>
#include <string>

namespace tvx {

// Flags shared by the links, the reply handling and the paced sequences.
struct LinkFlags {
    int reply_expected = 0;       // a serial command was written and no reply line has come since
    int reply_timeout_ticks = 0;  // 100 ms ticks counted while a reply is expected
    int success_pending = 0;      // a "GO" arrived for a single command; the next tick shows "Success"
    int error_reply = 0;          // an error reply or a failed send; sequences stop when they see it
    int app_running = 0;          // set once the main window exists, cleared on exit
    int tcp_answer_pending = 0;   // the TCP link awaits an answer; a paced sequence sends nothing meanwhile

    // Failures a running sequence must not miss. Unlike error_reply, which every reply line clears, they
    // stay set until a sequence starts or stops on them: a late answer cannot undo them.
    int link_lost = 0;     // the port or connection went away, or a line could not be written
    int reply_missed = 0;  // an answer did not come in time ("No Connect", "Answer が､きません")

    // Reply lines handed to the reply handling so far; a sequence tells from it which steps were answered.
    std::uint64_t replies_handled = 0;
    // "GN" answers so far: the unit did not take a command in its present mode. Sequences go on past
    // them; a caller that must know whether everything was taken counts them.
    std::uint64_t mode_differences = 0;
};

// How the read a read sequence waits for was answered.
enum class ReadAnswer {
    kNone,   // no line since the read went out
    kRead,   // its data line came and was taken whole
    kOther,  // only something else came: a status, another data line, a line of another unit, noise
};

// The data line a read sequence waits for. While a read sequence runs, the reply handling decodes no
// data line but the awaited one, so that a stray line (a late or foreign answer, another unit on the
// line) never lands in the model, and it notes here how the read was answered.
struct AwaitedRead {
    bool active = false;     // a read sequence runs
    std::string mnemonic;    // the data line's mnemonic ("CA", "CFS", "VN"); empty before the first read
    std::string line_start;  // what the line begins with: the mnemonic, with the page or day ("CA05")
    std::string address;     // on RS-485, the two digits the answer must carry in front; else empty
    ReadAnswer answer = ReadAnswer::kNone;
};

// How the step a sequence sent was answered, as the reply handling saw it.
enum class StepAnswer {
    kNone,            // no line since the step went out
    kAsAsked,         // "GO" to a setting, or the data line a read asked for, taken whole
    kErrorReply,      // "E0" to "E3" or "MENU"
    kModeDifference,  // "GN": the unit did not take it in its present mode
    kUnexpected,      // neither a status nor the data line asked for (another command's line, noise)
};

// The step a running sequence has sent. The first line after it answers it; an error reply sticks
// whatever comes after it, and a read's own data line still counts when something else came first.
struct AwaitedStep {
    bool active = false;      // a sequence runs and has sent a step
    bool wants_data = false;  // the step reads: only its data line answers it as asked
    StepAnswer answer = StepAnswer::kNone;
};

// Received bytes being joined into a line: what has come of the line so far, and whether the line has
// grown past its limit and is being dropped up to its LF.
struct LineBuffer {
    std::string text;
    bool discarding = false;

    bool partial() const { return discarding || !text.empty(); }
};

// The reply handling's own accumulation of TCP answer pieces until a piece ends with LF.
struct ReplyState {
    static constexpr std::size_t kTcpAccumulationLimit = 2048;
    LineBuffer tcp_line;
    AwaitedRead awaited;
    AwaitedStep step;
};

}  // namespace tvx
