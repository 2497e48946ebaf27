#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <string>

#include "editors/schedule_editor.h"
#include "ui/sequence_job_view.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

class ChoiceGroup;
class PreviewFrame;

// "スケジュール": the preview of one day, the entry's selectors, one-day and all-days sends with
// progress, and "日OFF". One timer draws the deferred preview and paces the all-days send; while
// that runs the dialog cannot be closed.
class ScheduleDialog : public QDialog {
    Q_OBJECT
  public:
    using Field = ScheduleEditor::Field;

    ScheduleDialog(ToolState& tool, CommandLink& link, Notices& notices, ScheduleSelection& selection,
                   const std::string& selected_address, QWidget* owner);
    ~ScheduleDialog() override;

    ScheduleEditor& editor() { return editor_; }
    PreviewFrame* preview() const { return preview_; }
    ChoiceGroup* group(Field field) const { return groups_.at(static_cast<std::size_t>(field)); }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* set_button() const { return set_; }
    QPushButton* all_button() const { return all_; }
    QPushButton* close_button() const { return close_; }
    QPushButton* day_off_button() const { return day_off_; }
    QProgressBar* progress_bar() const { return progress_; }
    QLineEdit* percent_field() const { return percent_; }
    SequenceJobView* job_view() const { return job_; }
    QTimer& timer() { return timer_; }
    // One tick of the timer, as the timer runs it.
    void timer_tick();
    // 中止 of the all-days send.
    void stop();

    void reject() override;

  private:
    void show_entry();
    void draw_preview();

    ScheduleEditor editor_;
    PreviewFrame* preview_ = nullptr;
    std::array<ChoiceGroup*, 5> groups_{};
    ChoiceGroup* slave_ = nullptr;
    QPushButton* set_ = nullptr;
    QPushButton* all_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* day_off_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* percent_ = nullptr;
    SequenceJobView* job_ = nullptr;
    QTimer timer_;
    bool in_tick_ = false;
};

}  // namespace tvx
