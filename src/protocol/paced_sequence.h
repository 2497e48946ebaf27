#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// A paced sequence sends one command per tick: read-back, full send, titles, schedule, network read,
// the glyph bank transfers and the bus scan. Dialogs drive tick() from their timers, the command-line
// tool at its own pace. The rules every sequence keeps live here:
// - start() clears an error reply or link failure left by an earlier single command;
// - a tick never runs inside another tick (a notice box opened by a step must not let the next one in);
// - while a TCP answer is outstanding a tick sends nothing, so the answer is handled inside the sequence;
// - an error reply stops the sequence at its next tick, which clears it;
// - a lost port or connection, or a step left unanswered ("No Connect", "Answer が､きません"), stops
//   the sequence at its next tick however late an answer comes, and tells the operator the step it
//   stopped at and the last step that was answered (step_stopped_notice); the progress stays where it
//   stopped. A sequence whose steps may go unanswered (the bus scan) stops only for a lost link;
// - the tick of the last step completes the sequence, unless an answer is still awaited: then the first
//   tick after it has come completes it; an error answer to the last step is shown by the reply handling
//   and does not undo a sequence whose every step went out;
// - every end (completed, stopped, cancelled) puts batch_step (or bank_sequence_active) back to 0.
class PacedSequence {
  public:
    enum class State { kIdle, kRunning, kCompleted, kStopped, kCancelled };

    // Subclasses send through step_link(), which forwards to link and notes which steps went out and
    // which of them await an answer.
    PacedSequence(ToolState& tool, CommandLink& link, Notices& notices);
    virtual ~PacedSequence() = default;
    PacedSequence(const PacedSequence&) = delete;
    PacedSequence& operator=(const PacedSequence&) = delete;

    // False when the sequence may not start now (another one runs, or can_start refused).
    bool start();
    State tick();
    // The dialog was closed or the operator gave up.
    void cancel();

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
    // False where a step may go unanswered as a matter of course: then only a lost link stops.
    virtual bool stops_when_unanswered() const { return true; }
    // How the stop notice names a step: "ステップ 12" by default.
    virtual std::string step_label(int step) const;
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
    void take_answers();
    void stop_for_link();
    void finish(State state);

    StepLink step_link_;
    Notices& notices_;
    State state_ = State::kIdle;
    int step_ = 0;
    bool in_tick_ = false;
    bool stopped_by_link_ = false;
    std::deque<int> awaiting_;  // steps sent whose answers have not come yet, oldest first
    bool any_awaited_ = false;  // some step awaited an answer (none does on a broadcast)
    int last_answered_ = 0;
    int last_written_ = 0;  // the last step whose line went out while the link was there
    std::uint64_t replies_seen_ = 0;
};

// "ステップ 40 で中断しました。..." : where a sequence stopped for its link, the last step answered
// (0: none) or, when no step awaited an answer, the last step written (0: none).
std::string step_stopped_notice(std::string_view stopped, std::string_view answered, bool answers_awaited);

}  // namespace tvx
