#pragma once

#include <QObject>
#include <QTimer>

#include "model/link_flags.h"

namespace tvx {

// The answers a link awaits from its unit, one per command sent: how many are due, the time-out that
// bounds them, and the answers given up as missing that may still turn up. Every link that waits for
// answers keeps them here (the desktop tool's TCP link and each unit's channel of the command-line tool),
// so that the rules are the same everywhere:
// - each command sent makes one more answer due and (re)starts the time-out;
// - each whole line received answers the oldest answer due; a line while none is due is the unit's own
//   and is handled as such;
// - when the time-out passes, missing() is emitted once; the answers still due become late: a line that
//   comes within the late window and before the next command goes out is such a late answer, to be
//   logged and dropped, never taken as the answer to anything else;
// - while an answer is due, LinkFlags::tcp_answer_pending is set, so a paced sequence sends nothing.
class AnswerTracker : public QObject {
    Q_OBJECT

  public:
    static constexpr int kTimeoutMs = 3000;
    static constexpr int kLateWindowMs = 3000;

    enum class Line {
        kAnswer,  // answers the oldest answer due
        kOwn,     // nothing was due: the unit's own line
        kLate,    // the late answer to a command given up on: drop it
    };

    explicit AnswerTracker(LinkFlags& flags, QObject* parent = nullptr);

    void set_timeout_ms(int ms) { timeout_.setInterval(ms); }
    void set_late_window_ms(int ms) { late_window_.setInterval(ms); }

    // A command went out: one more answer is due.
    void expect();
    // A whole line came: what it is.
    Line take_line();
    // The answers due will not come (the time-out passed, or the connection went). With late_may_come the
    // unit may still send them, so they are dropped when they come; returns how many were due.
    int give_up(bool late_may_come);
    // Nothing due, nothing late.
    void reset();

    bool due() const { return due_ > 0; }
    int answers_due() const { return due_; }
    int late_answers() const { return late_; }

  signals:
    // The time-out passed with answers due; they are still counted as due until the receiver gives up.
    void missing();

  private:
    void set_due(int count);

    LinkFlags& flags_;
    int due_ = 0;
    int late_ = 0;
    QTimer timeout_;
    QTimer late_window_;
};

}  // namespace tvx
