#pragma once

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// Sending the whole schedule: the 31 days' "SD" lines, one per tick. The progress counts in 32nds, as
// the schedule editor shows it: 3, 6, 9 ... 96 percent after days 1 to 31.
inline constexpr int kScheduleSendTickMs = 300;
inline constexpr int kScheduleProgressRange = 32;

class ScheduleSequence : public PacedSequence {
  public:
    ScheduleSequence(ToolState& tool, CommandLink& link, Notices& notices)
        : PacedSequence(tool, link, notices), link_(step_link()), notices_(notices) {}
    ~ScheduleSequence() override { cancel(); }

    int step_count() const override { return kScheduleDays; }
    int percent() const override { return steps_sent() * 100 / kScheduleProgressRange; }
    // "スケジュール 31日".
    std::string step_name(int step) const override;

  protected:
    // The operator confirms that the unit is not switching pages by itself; over TCP a connection must be
    // up ("Socket が接続されていません").
    bool can_start() override;
    bool send_step(int step) override;

  private:
    CommandLink& link_;
    Notices& notices_;
};

}  // namespace tvx
