#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "editors/fleet_controller.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tvx {

// One command to the units chosen in the server dialog: a start button (with "送信後に照合" for the full
// send), the whole progress and each unit's row, "中止" for them all, then each unit's result, which can
// be copied or saved as text. A thin view over FleetController.
class FleetDialog : public QDialog {
    Q_OBJECT
  public:
    FleetDialog(std::unique_ptr<FleetController> controller, QWidget* owner);
    ~FleetDialog() override;

    FleetController& controller() { return *controller_; }
    QPushButton* start_button() const { return start_; }
    QPushButton* cancel_button() const { return cancel_; }
    QPushButton* copy_button() const { return copy_; }
    QPushButton* save_button() const { return save_; }
    QPushButton* close_button() const { return close_; }
    QCheckBox* verify_box() const { return verify_; }
    QProgressBar* progress_bar() const { return progress_; }
    QTableWidget* table() const { return table_; }
    QLabel* summary_label() const { return summary_; }

    // The result table as text into path (replacing a file there); false when it could not be written.
    bool save_results(const QString& path);
    // Runs the sessions' ticks now (the timer does it while the dialog is shown).
    void tick();

    void reject() override;

  private:
    void start();
    void refresh();
    void save();

    std::unique_ptr<FleetController> controller_;
    QTimer ticker_;
    QTimer refresher_;
    QLabel* summary_ = nullptr;
    QCheckBox* verify_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* close_ = nullptr;
};

// The link the setting editors send through: while several units are chosen in the server dialog, the
// lines one button press sends are gathered and go to every chosen unit (a FleetDialog runs them, asking
// once); otherwise they go straight on to link.
class ChosenUnitsLink : public QObject, public CommandLink {
    Q_OBJECT
  public:
    ChosenUnitsLink(const ToolState& tool, Notices& notices, CommandLink& link, QWidget* window);

    void send_command(std::string_view line) override;
    bool tcp_is_connected() const override { return link_.tcp_is_connected(); }

  private:
    void run_gathered();

    const ToolState& tool_;
    Notices& notices_;
    CommandLink& link_;
    QWidget* window_;
    std::vector<std::string> gathered_;
};

// Where several units are chosen in the server dialog, the command goes to all of them: a FleetDialog runs
// it (modal to from's window) and true is returned. Otherwise false, and the caller sends to the one unit.
bool run_on_chosen_units(QWidget* from, const ToolState& tool, Notices& notices, FleetController::Request request);

}  // namespace tvx
