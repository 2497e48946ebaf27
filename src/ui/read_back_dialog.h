#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>

#include "editors/read_back_controller.h"
#include "ui/sequence_job_view.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

// The view of a whole-unit sequence, "設定項目の読み込み" or "全項目の設定": the slave address selector,
// the start button, the progress bar with its percentage, and Close. It ticks the controller from its
// timer and cannot be closed while the sequence runs; it closes itself when the sequence completes.
class UnitSequenceDialog : public QDialog {
    Q_OBJECT
  public:
    UnitSequenceDialog(std::unique_ptr<UnitSequenceController> controller, Notices& notices,
                       const std::string& selected_address, QWidget* owner);
    ~UnitSequenceDialog() override;

    UnitSequenceController& controller() { return *controller_; }
    QComboBox* slave_selector() const { return slave_; }
    QPushButton* start_button() const { return start_; }
    QProgressBar* progress_bar() const { return progress_; }
    QLineEdit* percentage_field() const { return percentage_; }
    QPushButton* close_button() const { return close_; }
    SequenceJobView* job_view() const { return job_; }
    const QTimer& timer() const { return timer_; }

    // The start button, one tick of the timer and 中止, as pressing and firing do.
    void start();
    void tick();
    void stop();

    // Esc and the close box end the dialog only while no sequence runs.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void show_progress();

    std::unique_ptr<UnitSequenceController> controller_;
    QComboBox* slave_ = nullptr;
    QPushButton* start_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* percentage_ = nullptr;
    QLabel* pace_ = nullptr;
    SequenceJobView* job_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer timer_;
};

// "設定項目の読み込み".
UnitSequenceDialog* make_read_back_dialog(ToolState& tool, CommandLink& link, Notices& notices,
                                          const std::string& selected_address, QWidget* owner);

}  // namespace tvx
