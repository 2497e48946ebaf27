#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "editors/alarm_editor.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tvx {

class ChoiceGroup;

// The eight connector selectors "No.1" to "No.8" in their box with its own "設定".
class ConnectorBox {
  public:
    ConnectorBox(ConnectorTable& table, QWidget* parent);

    QGroupBox* box() const { return box_; }
    QComboBox* connector(int index) const { return combos_.at(static_cast<std::size_t>(index)); }
    QPushButton* button() const { return button_; }

  private:
    QGroupBox* box_ = nullptr;
    std::array<QComboBox*, kConnectorCount> combos_{};
    QPushButton* button_ = nullptr;
};

// "アラームの設定".
class AlarmDialog : public QDialog {
    Q_OBJECT
  public:
    using Setting = AlarmEditor::Setting;

    AlarmDialog(ToolState& tool, CommandLink& link, Notices& notices, const std::string& selected_address,
                QWidget* owner);

    ChoiceGroup* group(Setting setting) const { return groups_.at(static_cast<std::size_t>(setting)); }
    QLineEdit* hold_time_field() const { return hold_time_; }
    QPushButton* hold_time_button() const { return hold_time_button_; }
    const ConnectorBox& connectors() const { return connectors_; }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* close_button() const { return close_; }

  private:
    AlarmEditor editor_;
    std::array<ChoiceGroup*, 4> groups_{};
    QLineEdit* hold_time_ = nullptr;
    QPushButton* hold_time_button_ = nullptr;
    ConnectorBox connectors_;
    ChoiceGroup* slave_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
