#pragma once

#include <QDialog>
#include <string>

#include "editors/remote_editor.h"
#include "ui/alarm_dialog.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;

// "リモートの設定".
class RemoteDialog : public QDialog {
    Q_OBJECT
  public:
    RemoteDialog(ToolState& tool, CommandLink& link, const std::string& selected_address, QWidget* owner);

    ChoiceGroup* mode_group() const { return mode_; }
    const ConnectorBox& connectors() const { return connectors_; }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* close_button() const { return close_; }

  private:
    RemoteEditor editor_;
    ConnectorBox connectors_;
    ChoiceGroup* mode_ = nullptr;
    ChoiceGroup* slave_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
