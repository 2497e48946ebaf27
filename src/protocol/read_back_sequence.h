#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"
#include "protocol/read_record.h"

namespace tvx {

// Reading a whole unit into the model: every read command in a fixed order, one per tick, while the
// reply handling decodes each answer. The tick of the last read completes the sequence (over TCP, the
// first tick after its answer); the progress bar runs to 120, so it shows 99 at the end.
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

// Reading only some settings (what was just sent) runs the reads named in only (steps 1..119, in order);
// the sequence's own steps, its record and what it tells are then 1..only.size().
class ReadBackSequence : public PacedSequence {
  public:
    ReadBackSequence(ToolState& tool, CommandLink& link, Notices& notices, std::vector<int> only = {});
    ~ReadBackSequence() override { cancel(); }

    int step_count() const override { return record_.step_count(); }
    int percent() const override {
        return steps_sent() * 100 / (only_.empty() ? kReadBackProgressRange : step_count());
    }

    // Which steps of the last run read their setting. A completed run with settings unread ends with a
    // notice naming them instead of "Success" (tell_read_end).
    const ReadRecord& record() const { return record_; }
    std::vector<int> read_steps() const { return record_.read_steps(); }
    std::vector<int> unread_steps() const { return record_.unread_steps(); }
    std::string unread_description() const { return record_.unread_description(); }
    // The desktop dialog's read: a run the unit stopped with an error answer names the settings it
    // left unread too, since the settings in memory are then partly the unit's and partly as they were.
    // (A stop on the link has its step notice; a caller of its own tells the operator itself.)
    void tell_unread_on_error_stop() { tell_unread_on_error_stop_ = true; }

    // "タイトル ページ 05", "スケジュール 31日", "文字サイズ": what the step reads.
    std::string step_name(int step) const override;
    // The read-back step (1..119) that the sequence's step reads.
    int table_step(int step) const;
    // What was read stays in the settings; the rest keeps the values it had.
    std::string interrupted_report() const override;

  protected:
    // On RS-485 an address from 00 to 31 must be chosen; then the operator confirms that the unit is not
    // switching pages by itself; over TCP a connection must be up.
    bool can_start() override;
    bool send_step(int step) override;
    // What was read is told at the end, so the end waits for the answer to the last read on the serial
    // line too (over TCP every answer is waited for); a missing one ends it by the reply time-out.
    bool waiting() const override { return steps_sent() >= step_count() && tool_.link.reply_expected != 0; }
    bool step_reads(int) const override { return true; }
    void finished(State state) override;

  private:
    CommandLink& link_;
    Notices& notices_;
    std::vector<int> only_;
    ReadRecord record_;
    bool tell_unread_on_error_stop_ = false;
};

}  // namespace tvx
