#include "link/answer_tracker.h"

namespace tvx {

AnswerTracker::AnswerTracker(LinkFlags& flags, QObject* parent) : QObject(parent), flags_(flags) {
    timeout_.setSingleShot(true);
    timeout_.setTimerType(Qt::PreciseTimer);
    timeout_.setInterval(kTimeoutMs);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        if (due_ > 0) emit missing();
    });
    late_window_.setSingleShot(true);
    late_window_.setInterval(kLateWindowMs);
    // An answer later than this is taken as lost for good; what comes next is the unit's own.
    connect(&late_window_, &QTimer::timeout, this, [this] { late_ = 0; });
}

void AnswerTracker::expect() {
    // From here on a line answers this command: a unit that never answered the one given up on must
    // not cost this one its answer as well.
    late_ = 0;
    late_window_.stop();
    set_due(due_ + 1);
    timeout_.start();
}

AnswerTracker::Line AnswerTracker::take_line() {
    if (due_ > 0) {
        set_due(due_ - 1);
        if (due_ > 0) {
            timeout_.start();
        } else {
            timeout_.stop();
        }
        return Line::kAnswer;
    }
    if (late_ > 0) {
        if (--late_ == 0) late_window_.stop();
        return Line::kLate;
    }
    return Line::kOwn;
}

int AnswerTracker::give_up(bool late_may_come) {
    const int missing = due_;
    set_due(0);
    timeout_.stop();
    if (late_may_come && missing > 0) {
        late_ += missing;
        late_window_.start();
    }
    return missing;
}

void AnswerTracker::reset() {
    set_due(0);
    late_ = 0;
    timeout_.stop();
    late_window_.stop();
}

void AnswerTracker::set_due(int count) {
    due_ = count;
    flags_.tcp_answer_pending = count > 0 ? 1 : 0;
}

}  // namespace tvx
