#pragma once

#include <optional>
#include <string>

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// Writing the whole model to a unit, or on RS-485 to all units by broadcast: the 64 titles, the 31
// schedule days and every other setting, one line per tick. The table has 118 steps; the last sends
// nothing and is the tick that completes the sequence (over TCP it comes once the last answer is in).
inline constexpr int kFullSendSteps = 118;
inline constexpr int kFullSendTickMs = 400;
inline constexpr int kFullSendProgressRange = kFullSendSteps;

// The line of step 1..118 as the model stands; none for step 118, for a title the unit cannot show and
// for a hold time below 3 seconds.
std::optional<std::string> full_send_command(const SettingsModel& model, int step);

// What the operator calls step 1..118: "タイトル ページ 05", "スケジュール 3日", "アラーム 保持時間".
std::string full_send_step_name(int step);

class FullSendSequence : public PacedSequence {
  public:
    FullSendSequence(ToolState& tool, CommandLink& link, Notices& notices)
        : PacedSequence(tool, link, notices), link_(step_link()), notices_(notices) {}
    ~FullSendSequence() override { cancel(); }

    int step_count() const override { return kFullSendSteps; }
    int percent() const override { return steps_sent() * 100 / kFullSendProgressRange; }

    // The page (0..63) whose title stopped the sequence, or -1.
    int refused_page() const { return refused_page_; }

    // "タイトル ページ 05", "スケジュール 31日", "文字サイズ": what the step sends.
    std::string step_name(int step) const override { return full_send_step_name(step); }

  protected:
    // The operator confirms that the unit is not switching pages by itself; over TCP a connection must be
    // up. A broadcast is allowed: every unit takes the settings and none answers.
    bool can_start() override;
    // A refused title stops the sequence with the titles before it sent. A refused hold time is shown and
    // the sequence goes on.
    bool send_step(int step) override;
    // The closing step sends nothing.
    int last_sending_step() const override { return kFullSendSteps - 1; }

  private:
    CommandLink& link_;
    Notices& notices_;
    int refused_page_ = -1;
};

}  // namespace tvx
