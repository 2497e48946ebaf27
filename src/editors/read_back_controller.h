#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// What the two whole-unit dialogs, "設定項目の読み込み" (read-back) and "全項目の設定" (full send),
// share: a slave address selector, a start button, a progress bar with its percentage and Close, over
// one paced sequence that the view ticks from its timer.
class UnitSequenceController {
  public:
    struct Definition {
        std::string_view caption;        // also the window title's text before a TCP unit's address
        std::string_view start_caption;  // "読み込み" or "設定"
        bool broadcast_entry = false;    // the selector lists "Bloadcast" after "31"
        int progress_range = 0;          // the bar runs from 0 to this
        int tick_ms = 0;
        std::string_view cleared_percentage;  // what the percentage field shows once complete
    };

    enum class Outcome { kRunning, kStopped, kCompleted };

    UnitSequenceController(ToolState& tool, std::unique_ptr<PacedSequence> sequence, Definition definition);

    const Definition& definition() const { return definition_; }

    // Opening: resets the hidden entry's count.
    void open();
    std::vector<std::string> slave_items() const;
    // Enabled and preselected only on a serial RS-485 line; an address the list does not hold (broadcast
    // for the read-back) is left without a selection.
    SlaveSelector slave_selector() const;
    // The caption, or, while a TCP unit is selected, the caption followed by its address.
    std::string window_title(std::string_view selected_address) const;

    // A completed selection in the slave address selector.
    void select_slave_address(int index);

    // The start button: true when the sequence runs and the view should start its timer.
    bool start();
    // One tick of the view's timer.
    Outcome tick();
    // Another sequence for the same dialog, while none runs ("送信後に照合" adds the read-back to the full
    // send): the progress counts to progress_range from then on.
    void replace_sequence(std::unique_ptr<PacedSequence> sequence, int progress_range);

    // The dialog closes with a sequence still running (the application ends): give the model back.
    void cancel() { sequence_->cancel(); }
    // 中止: the run ends at its next tick, keeping what was sent and read; its progress stays.
    bool stop() { return sequence_->stop(); }
    const PacedSequence& sequence() const { return *sequence_; }

    bool running() const { return sequence_->running(); }
    // The view's timer interval at the pace chosen under "インターフェイス".
    int tick_ms() const { return pace_tick_ms(tool_, definition_.tick_ms); }
    bool fast() const { return fast_pace(tool_); }
    // What the dialog shows of the pace: "ペース: 標準" or "ペース: 高速".
    std::string pace_text() const { return "ペース: " + std::string(pace_name(tool_)); }
    // Close is disabled (and the dialog cannot be closed) while the sequence runs.
    bool close_enabled() const { return !running(); }
    int progress() const { return progress_; }
    const std::string& percentage() const { return percentage_; }

  private:
    ToolState& tool_;
    std::unique_ptr<PacedSequence> sequence_;
    Definition definition_;
    int progress_ = 0;
    std::string percentage_;
};

inline constexpr std::string_view kReadBackCaption = "設定項目の読み込み";

// "設定項目の読み込み": the read-back sequence; 00 to 31 only, since a broadcast gets no answer.
std::unique_ptr<UnitSequenceController> make_read_back_controller(ToolState& tool, CommandLink& link,
                                                                  Notices& notices);

}  // namespace tvx
