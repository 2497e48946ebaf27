#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// A paced sequence sends one command per tick: read-back, full send, titles, schedule, network read,
// the glyph bank transfers and the bus scan. Dialogs drive tick() from their timers, the command-line
// tool at its own pace. The rules every sequence keeps live here:
// - start() clears an error reply, a link failure or an awaited serial answer left by an earlier single
//   command or sequence;
// - a tick never runs inside another tick (a notice box opened by a step must not let the next one in);
// - no step goes out while the answer to the one before is due, on any link and at any pace, until the
//   link's time-out: a slow unit is read completely, and every answer is handled inside the sequence;
// - each step records how it was answered (outcome()): as asked, an error reply, "GN", something that is
//   neither a status nor the data line asked for, no answer, or the link lost. The first line after a
//   step answers it; an error reply sticks to its step whatever arrives after it;
// - an error reply stops the sequence at its next tick;
// - "GN" and unexpected answers leave the sequence running, but a run that completes with steps not taken
//   says so (steps_not_taken(), and a notice naming them) instead of ending as a plain success;
// - a lost port or connection, or a step left unanswered ("No Connect", "Answer が､きません"), stops
//   the sequence at its next tick however late an answer comes, and tells the operator the step it
//   stopped at and the last step that was answered (step_stopped_notice); the progress stays where it
//   stopped. A sequence whose steps may go unanswered (the bus scan) stops only for a lost link;
// - the tick of the last step completes the sequence, unless an answer is still awaited: then the first
//   tick after it has come completes it, whatever the link does afterwards; an error answer to the last
//   step is shown by the reply handling and named as not taken, but does not undo a sequence whose every
//   step went out;
// - the operator's stop (stop()) sends nothing more from the next tick on and ends the run as
//   interrupted once the step in flight has its answer (or the link gives up on it): what went out
//   stays sent, what was read stays read, and interrupted_report() names the last step answered and
//   the steps sent and not sent;
// - every end (completed, stopped, interrupted, cancelled) puts batch_step (or bank_sequence_active)
//   back to 0.
class PacedSequence {
  public:
    // kStopped: an error answer, a refused step or the link ended the run; kInterrupted: the operator
    // (or a program told to end) stopped it; kCancelled: its dialog went away.
    enum class State { kIdle, kRunning, kCompleted, kStopped, kInterrupted, kCancelled };

    // How one step of the last run went.
    enum class StepOutcome {
        kNotSent,          // not reached, or the step sends nothing
        kAwaiting,         // sent; its answer has not come yet
        kNotAwaited,       // sent where no unit answers (a broadcast)
        kAsAsked,          // a status "GO", or the data line the read asked for
        kErrorReply,       // "E0" to "E3" or "MENU"
        kModeDifference,   // "GN"
        kUnexpected,       // neither a status nor the data line asked for
        kNoAnswer,         // the answer did not come within the link's time-out
        kLinkLost,         // the port or connection went before the answer came
    };

    // Subclasses send through step_link(), which forwards to link and notes which steps went out and
    // which of them await an answer.
    PacedSequence(ToolState& tool, CommandLink& link, Notices& notices);
    virtual ~PacedSequence() = default;
    PacedSequence(const PacedSequence&) = delete;
    PacedSequence& operator=(const PacedSequence&) = delete;

    // False when the sequence may not start now (another one runs, or can_start refused).
    bool start();
    State tick();
    // The dialog was closed: the run ends here and now, without a word.
    void cancel();
    // The operator's stop: from the next tick nothing more is sent, and the run ends as kInterrupted as
    // soon as no answer is due. False when no run goes.
    bool stop();
    bool stop_requested() const { return stop_requested_; }

    State state() const { return state_; }
    bool running() const { return state_ == State::kRunning; }
    int steps_sent() const { return step_; }
    virtual int step_count() const = 0;
    // Progress as the dialog shows it; by default the share of steps sent.
    virtual int percent() const;

    // True when the last run ended because the link was lost or a step went unanswered.
    bool stopped_by_link() const { return stopped_by_link_; }
    // The last step whose answer has come, 0 when none has.
    virtual int last_answered_step() const { return last_answered_; }

    // How the notices name a step: "ステップ 12" by default, "No.12" or "アドレス 05" where the step is
    // known by its glyph or address.
    virtual std::string step_label(int step) const;
    // What the step sends or reads, as the progress and the operator's stop tell it: "タイトル ページ 12",
    // "スケジュール 31日", "文字サイズ"; by default its label.
    virtual std::string step_name(int step) const { return step_label(step); }
    // How an interrupted run ended: the last step answered (or, on a broadcast, written) and the steps
    // sent and not sent, in one paragraph. Sequences that read add what became of what they read.
    virtual std::string interrupted_report() const;

    // How step 1.. of the last run went; kNotSent for a step not reached.
    StepOutcome outcome(int step) const;
    // The steps that went out and were answered with an error reply, "GN" or something unexpected, in
    // order. A completed run with such steps is no plain success.
    std::vector<int> steps_not_taken() const;
    // The notice a completed run gives when steps were not taken (empty when none was).
    std::string steps_not_taken_notice() const;

  protected:
    // A chance to refuse the start with a notice (for example no unit can answer a broadcast read).
    virtual bool can_start() { return true; }
    // Sends the command of step 1..step_count(). False stops the sequence (for example a refused title).
    virtual bool send_step(int step) = 0;
    // Bank transfers mark themselves with bank_sequence_active instead of batch_step.
    virtual bool uses_bank_flag() const { return false; }
    // A step may wait for something beyond the TCP answer (a glyph data line, say).
    virtual bool waiting() const { return false; }
    // Told of each tick that waiting() held back.
    virtual void waited() {}
    // False where a step may go unanswered as a matter of course: then only a lost link stops, and the
    // sequence bounds each wait itself (waiting()).
    virtual bool stops_when_unanswered() const { return true; }
    // Whether step reads: only its data line answers it as asked. A read's unanswered steps are told by
    // its own record of what was read, not by the notice of steps not taken.
    virtual bool step_reads(int) const { return false; }
    // Called at every tick before anything else is decided, while the sequence runs.
    virtual void before_tick() {}
    // The last step that sends a line; the steps after it send nothing (the full send's closing step).
    virtual int last_sending_step() const { return step_count(); }
    virtual void finished(State) {}

    CommandLink& step_link() { return step_link_; }

    ToolState& tool_;

  private:
    class StepLink : public CommandLink {
      public:
        StepLink(PacedSequence& owner, CommandLink& link) : owner_(owner), link_(link) {}
        void send_command(std::string_view line) override;
        bool tcp_is_connected() const override { return link_.tcp_is_connected(); }

      private:
        PacedSequence& owner_;
        CommandLink& link_;
    };

    bool link_failed() const;
    bool answer_due() const;
    bool all_answered(int through) const;
    void take_answers();
    void note_step_sent(bool awaited);
    void take_step_answer();
    void stop_for_link();
    bool broadcast() const;
    void finish(State state);

    StepLink step_link_;
    Notices& notices_;
    State state_ = State::kIdle;
    int step_ = 0;
    bool in_tick_ = false;
    bool stopped_by_link_ = false;
    bool stop_requested_ = false;
    std::deque<int> awaiting_;  // steps sent whose answers have not come yet, oldest first
    bool any_awaited_ = false;  // some step awaited an answer (none does on a broadcast)
    int last_answered_ = 0;
    int last_written_ = 0;  // the last step whose line went out while the link was there
    std::uint64_t replies_seen_ = 0;
    std::vector<StepOutcome> outcomes_;  // index step - 1
    int answer_step_ = 0;                // the step tool.reply.step belongs to; 0 when none
};

// The pace sequences run at, as the operator chose it (Configuration::pace): standard, the original's
// intervals (the default, since units in the field have only seen those), or fast, where each step goes
// out as soon as the answer to the one before has come. No step goes out while an answer is due at either
// pace, so the link's time-out bounds every wait.
inline constexpr std::string_view kPaceNames[] = {"標準", "高速"};
// How often a sequence's timer looks whether the answer has come, at the fast pace.
inline constexpr int kFastTickMs = 1;
// Whether sequences run at the fast pace now: as chosen, except for a broadcast on RS-485, which no unit
// answers, so nothing but the standard interval spaces its lines.
bool fast_pace(const ToolState& tool);
// The interval of a sequence whose standard interval is standard_ms, at the pace that runs now.
int pace_tick_ms(const ToolState& tool, int standard_ms);
// "標準" or "高速", as runs now.
std::string_view pace_name(const ToolState& tool);

// "ステップ 40 で中断しました。..." : where a sequence stopped for its link, the last step answered
// (0: none) or, when no step awaited an answer, the last step written (0: none).
std::string step_stopped_notice(std::string_view stopped, std::string_view answered, bool answers_awaited);

}  // namespace tvx
