#pragma once

#include <QDialog>
#include <string>

#include "editors/slave_address_editor.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;

// "機器のスレーブアドレス": the address later commands go to.
class SlaveAddressDialog : public QDialog {
    Q_OBJECT
  public:
    SlaveAddressDialog(ToolState& tool, const std::string& selected_address, QWidget* owner);

    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* close_button() const { return close_; }

  private:
    SlaveAddressEditor editor_;
    ChoiceGroup* slave_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
