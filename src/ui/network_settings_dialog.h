#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <string>

#include "editors/network_settings_editor.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

class ChoiceGroup;
class Ipv4AddressField;

// "プロトコル": the unit's network settings with a set button each, and "読み込み", which reads them all
// from the unit and shows them when the read ends.
class NetworkSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    using Choice = NetworkSettingsEditor::Choice;

    NetworkSettingsDialog(ToolState& tool, CommandLink& link, Notices& notices,
                          const std::string& selected_address, QWidget* owner);
    ~NetworkSettingsDialog() override;

    Ipv4AddressField* address_field(AddressCommand address) const {
        return addresses_.at(static_cast<std::size_t>(address));
    }
    QPushButton* address_button(AddressCommand address) const {
        return address_buttons_.at(static_cast<std::size_t>(address));
    }
    ChoiceGroup* group(Choice choice) const { return groups_.at(static_cast<std::size_t>(choice)); }
    QLineEdit* port_field() const { return port_; }
    QPushButton* port_button() const { return port_button_; }
    QLineEdit* mac_field() const { return mac_; }
    QLineEdit* version_field() const { return version_; }
    QPushButton* read_button() const { return read_; }
    QProgressBar* progress_bar() const { return progress_; }
    QPushButton* close_button() const { return close_; }
    QTimer& timer() { return timer_; }
    // One tick of the read, as the timer runs it.
    void timer_tick();

    // Esc and the close box: nothing while Close is disabled by a running read.
    void reject() override;
    // However the dialog ends (Close, or Esc and the close box once Close is back), a read still
    // running ends with it.
    void done(int result) override;

  private:
    void show_model();

    NetworkSettingsEditor editor_;
    std::array<Ipv4AddressField*, 3> addresses_{};
    std::array<QPushButton*, 3> address_buttons_{};
    std::array<ChoiceGroup*, 4> groups_{};
    QLineEdit* port_ = nullptr;
    QPushButton* port_button_ = nullptr;
    QLineEdit* mac_ = nullptr;
    QLineEdit* version_ = nullptr;
    QPushButton* read_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer timer_;
    bool in_tick_ = false;
};

}  // namespace tvx
