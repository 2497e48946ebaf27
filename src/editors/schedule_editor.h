#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "editors/editor_frame.h"
#include "editors/per_page_preview.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/schedule_sequence.h"

namespace tvx {

// The entry the schedule editor shows. Kept for as long as the tool runs, across openings and New.
struct ScheduleSelection {
    int selected_day = 0;      // 0..30
    int selected_pattern = 0;  // 0..23
};

// "スケジュール": edits the 24 entries of one day, shows them as a preview, and sends one day or all
// 31 in a paced batch. The editor's one timer draws the deferred preview and paces the batch.
class ScheduleEditor {
  public:
    enum class Field { kDay, kPattern, kHour, kMinute, kPage };
    // What one timer tick did, for the view to follow.
    enum class Tick {
        kIdle,       // nothing to do: the timer may stop unless the batch runs
        kPreview,    // draw the preview now
        kSent,       // the batch sent a day: progress and percent moved
        kWaiting,    // the batch waits for an answer
        kStopped,    // an error reply ended the batch; Close is enabled again
        kCompleted,  // every day is sent: clear the progress and close the editor
    };
    static constexpr std::string_view kCaption = "スケジュール";
    static constexpr std::string_view kTitleText = "スケジュールの設定 ";
    static constexpr int kPreviewColumns = 3;
    static constexpr int kPreviewRows = 8;

    ScheduleEditor(ToolState& tool, CommandLink& link, Notices& notices, ScheduleSelection& selection);

    // Resets the hidden-entry count and makes the first preview due; the timer's period.
    int open_editor();
    std::string window_title(std::string_view selected_address) const {
        return editor_window_title(tool_, kCaption, kTitleText, selected_address);
    }

    static std::string_view caption(Field field);
    static std::vector<std::string> items(Field field);
    int selection(Field field) const;  // -1 for a value outside the list
    // Day and pattern choose the entry; hour, minute and page write it. The caller redraws.
    void select(Field field, int index);

    void clear_day();  // "日OFF": every entry of the day off, hours and minutes kept
    void send_day();   // "設定"
    // "全設定": false when the batch did not start (already running, refused, or not connected).
    bool send_all_days();

    bool sending() const { return sequence_.running(); }
    // 中止: the batch ends at its next tick; the days sent stay sent and the progress stays.
    bool stop() { return sequence_.stop(); }
    const ScheduleSequence& sequence() const { return sequence_; }
    bool close_enabled() const { return !sending(); }
    // Progress bar value (0..32) and the percent field's text.
    int progress() const { return sending() ? sequence_.steps_sent() : 0; }
    const std::string& percent_text() const { return percent_text_; }

    // A repaint: the preview becomes due. Returns the period to restart the timer with, or 0 to leave
    // the timer alone (the batch keeps its pace).
    int repainted();
    Tick tick();
    // The dialog goes away: a batch still running ends here.
    void close_editor() { sequence_.cancel(); }

    std::vector<PreviewLine> draw_preview() const;
    static std::string entry_text(int pattern, const ScheduleEntry& entry);

    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_slave_address(int index);

  private:
    ScheduleEntry& entry();
    const ScheduleEntry& entry() const;
    int day() const;
    int pattern() const;

    ToolState& tool_;
    CommandLink& link_;
    ScheduleSelection& selection_;
    ScheduleSequence sequence_;
    DeferredPreview preview_;
    std::string percent_text_;
};

}  // namespace tvx
