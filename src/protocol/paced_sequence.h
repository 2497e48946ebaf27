#pragma once

#include "model/tool_state.h"

namespace tvx {

// A paced sequence sends one command per tick: read-back, full send, titles, schedule, network read and
// the glyph bank transfers. Dialogs drive tick() from their timers, the command-line tool at its own
// pace. The rules every sequence keeps live here:
// - start() clears an error reply left by an earlier single command;
// - a tick never runs inside another tick (a notice box opened by a step must not let the next one in);
// - while a TCP answer is outstanding a tick sends nothing, so the answer is handled inside the sequence;
// - an error reply stops the sequence at its next tick, which clears it;
// - every end (completed, stopped, cancelled) puts batch_step (or bank_sequence_active) back to 0.
class PacedSequence {
public:
    enum class State { kIdle, kRunning, kCompleted, kStopped, kCancelled };

    explicit PacedSequence(ToolState& tool) : tool_(tool) {}
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

protected:
    // A chance to refuse the start with a notice (for example no unit can answer a broadcast read).
    virtual bool can_start() { return true; }
    // Sends the command of step 1..step_count(). False stops the sequence (for example a refused title).
    virtual bool send_step(int step) = 0;
    // Bank transfers mark themselves with bank_sequence_active instead of batch_step.
    virtual bool uses_bank_flag() const { return false; }
    // A step may wait for something beyond the TCP answer (a glyph data line, say).
    virtual bool waiting() const { return false; }
    virtual void finished(State) {}

    ToolState& tool_;

private:
    void finish(State state);

    State state_ = State::kIdle;
    int step_ = 0;
    bool in_tick_ = false;
};

}  // namespace tvx
