#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "model/tool_state.h"

class QComboBox;
class QLabel;

namespace tvx {

// The device bound to the chosen COM port: the devices found on this machine to pick from, or any
// typed path. Each change is written to the INI at once, as the lists beside it are; an empty path
// gives the port back its platform device. The binding is used the next time the port is opened.
class SerialDeviceBox : public QWidget {
    Q_OBJECT
  public:
    SerialDeviceBox(ToolState& tool, std::vector<std::string> devices, QWidget* parent = nullptr);

    // Shows the binding of com_port 0..5.
    void show_port(int com_port);
    QComboBox* combo() const { return combo_; }
    QLabel* caption() const { return caption_; }

  private:
    void store(const QString& text);

    ToolState& tool_;
    QLabel* caption_ = nullptr;
    QComboBox* combo_ = nullptr;
    int com_port_ = -1;
    bool loading_ = false;
};

}  // namespace tvx
