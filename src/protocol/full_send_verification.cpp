#include "protocol/full_send_verification.h"

#include "protocol/send_verification.h"

namespace tvx {

FullSendAndReadBack::FullSendAndReadBack(ToolState& tool, CommandLink& link, Notices& notices)
    : PacedSequence(tool, link, notices),
      send_(tool, step_link(), notices),
      read_(tool, step_link(), notices) {}

FullSendAndReadBack::~FullSendAndReadBack() {
    cancel();
}

// The read-back's conditions hold the full send's (the operator's confirmation, a TCP connection) and
// add the one address a read can be answered from.
bool FullSendAndReadBack::can_start() {
    return read_.can_start();
}

bool FullSendAndReadBack::send_step(int step) {
    if (step == 1) {
        verified_ = false;
        differences_.clear();
    }
    if (step <= kSendSteps) return send_.send_step(step);
    if (step == kSendSteps + 1) {
        // Everything has been sent: the unit's answers go into a model of their own from here. It starts
        // as what was sent, so a setting the unit did not give back is listed once, as not read, and
        // never again as an ordinary difference against a default the unit never gave.
        kept_ = tool_.model;
        return true;
    }
    return read_.send_step(step - kSendSteps - 1);
}

std::string FullSendAndReadBack::step_name(int step) const {
    if (step <= kSendSteps) return full_send_step_name(step);
    if (step == kSendSteps + 1) return "照合の読み込みへ";
    return "照合 " + read_step_name(read_back_step(step - kSendSteps - 1));
}

std::string FullSendAndReadBack::interrupted_report() const {
    std::string text = PacedSequence::interrupted_report();
    if (steps_sent() > kSendSteps) text += "照合はしていません。メモリー上の設定は送信したままです。";
    return text;
}

bool FullSendAndReadBack::waiting() const {
    return steps_sent() == kSteps && tool_.link.reply_expected != 0;
}

void FullSendAndReadBack::finished(State state) {
    if (!kept_) return;
    // The read's own end: nothing more is awaited, and a completed read names what it could not read.
    read_.finished(state);
    // The comparison window is this job's end: a "Success" for the read beside a list of differences
    // would tell the operator the unit holds what was sent when it may not.
    tool_.link.success_pending = 0;
    const SettingsModel read = tool_.model;
    const RunState run = tool_.model.run;
    tool_.model = *kept_;
    tool_.model.run = run;
    kept_.reset();
    if (state != State::kCompleted) return;
    for (const int step : read_.unread_steps()) {
        const ReadStep unread = read_back_step(step);
        differences_.push_back(
            {std::string(unread.group), read_step_name(unread), "", std::string(kNotReadBack)});
    }
    const std::vector<SettingDifference> found = compare_sent_with_read_back(tool_.model, read);
    differences_.insert(differences_.end(), found.begin(), found.end());
    verified_ = true;
}

}  // namespace tvx
