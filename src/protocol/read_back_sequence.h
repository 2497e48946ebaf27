#pragma once

#include <string>
#include <string_view>

#include "protocol/command_link.h"
#include "protocol/notices.h"
#include "protocol/paced_sequence.h"
#include "protocol/read_record.h"

namespace tvx {

// Reading a whole unit into the model: every read command in a fixed order, one per tick, while the
// reply handling decodes each answer. The tick after the last read completes the sequence, so the
// progress counts 120 ticks for 119 reads.
inline constexpr int kReadBackSteps = 119;
inline constexpr int kReadBackProgressRange = 120;
inline constexpr int kReadBackTickMs = 400;

// A broadcast is answered by no unit: a read-back on it would "complete" with nothing read.
inline constexpr std::string_view kReadBackNeedsAddress = "スレーブアドレスを00から31の間で選択してください";

// The read command of step 1..119, CR LF included: titles 1 to 64, schedule days 1 to 31, then the
// other settings (the video loss read twice, the version last).
std::string read_back_command(int step);

// Step 1..119 with the data line it asks for and the setting's name ("タイトル ページ 05", "文字サイズ").
ReadStep read_back_step(int step);

class ReadBackSequence : public PacedSequence {
  public:
    ReadBackSequence(ToolState& tool, CommandLink& link, Notices& notices)
        : PacedSequence(tool), link_(link), notices_(notices) {}
    ~ReadBackSequence() override { cancel(); }

    int step_count() const override { return kReadBackSteps; }
    int percent() const override { return steps_sent() * 100 / kReadBackProgressRange; }

    // Which steps of the last run read their setting. A completed run with settings unread ends with a
    // notice naming them instead of "Success" (tell_read_end).
    const ReadRecord& record() const { return record_; }
    std::vector<int> read_steps() const { return record_.read_steps(); }
    std::vector<int> unread_steps() const { return record_.unread_steps(); }
    std::string unread_description() const { return record_.unread_description(); }

  protected:
    // On RS-485 an address from 00 to 31 must be chosen; then the operator confirms that the unit is not
    // switching pages by itself; over TCP a connection must be up.
    bool can_start() override;
    bool send_step(int step) override;
    void finished(State state) override;

  private:
    CommandLink& link_;
    Notices& notices_;
    ReadRecord record_{kReadBackSteps, read_back_step};
};

}  // namespace tvx
