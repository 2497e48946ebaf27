#pragma once

#include <optional>
#include <string>
#include <vector>

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

// One command of a send of some settings only: step 1..117 of the table, and for a per-page setting the
// page (0..63) when that page alone goes, in the setting's single-page form; -1 for the step's own line.
struct FullSendItem {
    int step = 0;
    int page = -1;
    bool operator==(const FullSendItem&) const = default;
};

// Whether step sends a per-page setting for every page at once (the all-pages form).
bool full_send_step_per_page(int step);

// The line of an item as the model stands: the step's line, or one page's value of its setting.
std::optional<std::string> full_send_item_command(const SettingsModel& model, FullSendItem item);

// What the operator calls step 1..118: "タイトル ページ 05", "スケジュール 3日", "アラーム 保持時間".
std::string full_send_step_name(int step);

// Sending only some settings (what differs from the unit) runs the items named in only (in table order),
// then the closing step; the sequence's own steps are then 1..only.size() + 1.
class FullSendSequence : public PacedSequence {
  public:
    FullSendSequence(ToolState& tool, CommandLink& link, Notices& notices, std::vector<FullSendItem> only = {})
        : PacedSequence(tool, link, notices), link_(step_link()), notices_(notices), only_(std::move(only)) {}
    ~FullSendSequence() override { cancel(); }

    int step_count() const override {
        return only_.empty() ? kFullSendSteps : static_cast<int>(only_.size()) + 1;
    }
    int percent() const override { return steps_sent() * 100 / step_count(); }
    // What the sequence's step sends: the table's step (1..118) and, for one page alone, the page.
    FullSendItem item(int step) const;

    // The page (0..63) whose title stopped the sequence, or -1.
    int refused_page() const { return refused_page_; }

    // "タイトル ページ 05", "スケジュール 31日", "文字サイズ": what the step sends.
    std::string step_name(int step) const override;
    // The whole send's steps are known by their numbers; in a send of some settings a step's number says
    // nothing of what it sent, so there the setting names it.
    std::string step_label(int step) const override {
        return only_.empty() ? PacedSequence::step_label(step) : step_name(step);
    }

  protected:
    // The operator confirms that the unit is not switching pages by itself; over TCP a connection must be
    // up. A broadcast is allowed: every unit takes the settings and none answers.
    bool can_start() override;
    // A refused title stops the sequence with the titles before it sent. A refused hold time is shown and
    // the sequence goes on.
    bool send_step(int step) override;
    // The closing step sends nothing.
    int last_sending_step() const override { return step_count() - 1; }

  private:
    CommandLink& link_;
    Notices& notices_;
    std::vector<FullSendItem> only_;
    int refused_page_ = -1;
};

}  // namespace tvx
