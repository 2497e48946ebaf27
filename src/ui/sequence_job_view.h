#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <string>

#include "config/notices.h"
#include "editors/sequence_job.h"

class QLabel;
class QPushButton;

namespace tvx {

// What a paced sequence's dialog shows of a run under its progress bar: the step and the time left
// while it runs, how it ended afterwards, and 中止, which ends the run at its next tick. A run that
// ended by itself or by 中止 is told to the notices as a status (the status bar and the log); a run
// that failed has its notice already, and is told there too.
class SequenceJobView : public QWidget {
    Q_OBJECT
  public:
    SequenceJobView(std::string caption, Notices& notices, QWidget* parent);

    // What the job is called in the status line ("外字一覧（大文字） 読み込み").
    void set_caption(std::string caption) { job_ = SequenceJob(std::move(caption)); }
    // The run has started at the timer interval tick_ms; fast: at the fast pace.
    void started(const PacedSequence& sequence, int tick_ms, bool fast);
    // After each tick: the step and time left, or, once the run has ended, how it ended.
    void show_state(const PacedSequence& sequence);

    QPushButton* stop_button() const { return stop_; }
    QLabel* text_label() const { return text_; }
    const SequenceJob& job() const { return job_; }

  signals:
    // 中止 was pressed while the run goes.
    void stop_requested();

  private:
    SequenceJob job_;
    Notices& notices_;
    QElapsedTimer clock_;
    QLabel* text_ = nullptr;
    QPushButton* stop_ = nullptr;
    bool told_ = true;  // the end of the run has been told
};

}  // namespace tvx
