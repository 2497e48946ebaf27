#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "model/tool_state.h"

namespace tvx {

// One read of a read sequence: the command that goes out, the data line that answers it, and what the
// operator calls the setting it reads.
struct ReadStep {
    enum class Numbering { kNone, kPage, kDay };

    std::string command;     // the read command, CR LF included: "RCA05\r\n"
    std::string mnemonic;    // the answering data line's mnemonic: "CA"
    std::string line_start;  // what that line begins with: "CA05"; the mnemonic alone for most reads
    std::string_view group;  // the editor's name: "タイトル", "文字サイズ", "アラーム", "プロトコル"
    std::string_view setting;  // the setting within the group ("モード"); empty when the group is one setting
    Numbering numbering = Numbering::kNone;
    int number = 0;  // the page 1..64 or day 1..31 the read asks for
};

// The read of a setting without parameters ("RCFS", "REIA"), answered by the data line its row names.
ReadStep setting_read_step(std::string_view read, std::string_view group, std::string_view setting = {});

// What the operator calls one read: "タイトル ページ 05", "スケジュール 3日", "文字サイズ", "アラーム
// モード".
std::string read_step_name(const ReadStep& step);

// Which reads of one run of a read sequence were read: answered by the data line they asked for (on
// RS-485 from the unit asked) and that line taken whole into the model. The sequence tells the record as
// each read goes out; the reply handling notes each answer in ToolState::reply.awaited, which the record
// takes over when the next read goes out and when the run ends. A read answered by anything else (a
// status such as "GN", another data line, another unit's line, noise) or by nothing is not read.
class ReadRecord {
  public:
    using StepTable = std::function<ReadStep(int step)>;

    ReadRecord(int step_count, StepTable step_of) : step_count_(step_count), step_of_(std::move(step_of)) {}

    // The read of step goes out: the answer to the read before is kept; step 1 begins a new run.
    void sent(ToolState& tool, int step);
    // The run has ended (completed, stopped or cancelled): the last answer is kept, nothing is awaited.
    void ended(ToolState& tool);

    int step_count() const { return step_count_; }
    ReadStep step(int step) const { return step_of_(step); }
    // Whether step's setting was read: by its own read, or by another read of the run that asks for the
    // same data line (the video loss setting is read twice). A read not sent is not read.
    bool read(int step) const;
    // Steps 1..step_count() in order, split by read().
    std::vector<int> read_steps() const;
    std::vector<int> unread_steps() const;
    bool all_read() const { return unread_steps().empty(); }
    // The unread settings for the operator, one line per editor in step order, runs of pages or days
    // joined ("タイトル: ページ 01〜03, ページ 07"); empty when everything was read.
    std::string unread_description() const;

  private:
    void keep_answer(const ToolState& tool);

    int step_count_;
    StepTable step_of_;
    std::vector<ReadAnswer> answers_;  // index step - 1; kNone for a read not sent or not answered
    int awaited_step_ = 0;
};

// The heading of the notice that replaces "Success" when a read sequence has left settings unread.
inline constexpr std::string_view kUnreadHeading = "次の設定は読み込めませんでした（元の値のままです）。";

// How a completed read sequence ends for the operator. Everything read: on the serial line "Success" at
// the main window's next tick, as the version answer gives it. Anything unread: instead of that, an
// error notice with kUnreadHeading and the unread settings.
void tell_read_end(const ReadRecord& record, ToolState& tool, Notices& notices);

}  // namespace tvx
