#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>

#include "model/tool_state.h"
#include "protocol/bus_scan_sequence.h"
#include "ui/sequence_job_view.h"

class QLabel;
class QListWidget;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

// "RS-485 スキャン": asks addresses 00..31 for their version with a progress bar and a percentage, and
// lists the units that answered; choosing one makes it the slave address.
class BusScanDialog : public QDialog {
    Q_OBJECT

  public:
    // Sends the serial reply lines to the given handler while the scan runs; an empty handler gives
    // them back to the ordinary reply handling.
    using ReplyRoute = std::function<void(std::function<void(const std::string&)> handler)>;

    BusScanDialog(ToolState& tool, CommandLink& link, Notices& notices, ReplyRoute route,
                  QWidget* owner = nullptr);
    ~BusScanDialog() override;

    BusScanSequence& sequence() { return sequence_; }
    // One timer step, as the dialog's timer runs it.
    void tick();
    void start();
    // 中止: the scan ends at once; the units found so far stay listed.
    void stop();
    SequenceJobView* job_view() const { return job_; }
    // Makes the unit of the list's row the slave address; false when there is no such row.
    bool choose(int row);

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void show_progress();
    void show_found();
    void end_scan(PacedSequence::State state);

    ToolState& tool_;
    BusScanSequence sequence_;
    ReplyRoute route_;
    QTimer timer_;
    QPushButton* start_ = nullptr;
    QPushButton* choose_ = nullptr;
    QPushButton* close_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* percentage_ = nullptr;
    QListWidget* units_ = nullptr;
    QLabel* outcome_ = nullptr;  // what the finished scan found
    SequenceJobView* job_ = nullptr;
};

}  // namespace tvx
