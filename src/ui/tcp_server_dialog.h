#pragma once

#include <QDialog>

#include "editors/tcp_server_controller.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tvx {

// "TCP/IPの設定(Server)": a thin view over TcpServerController, refreshed whenever a unit arrives or
// leaves or the listening state changes.
class TcpServerDialog : public QDialog {
    Q_OBJECT
  public:
    TcpServerDialog(ToolState& tool, TcpLink& link, QWidget* owner);

    void done(int result) override;

    QLineEdit* transmission_place() const { return place_; }
    QListWidget* client_list() const { return clients_; }
    QLineEdit* port_field() const { return port_; }
    QPushButton* connect_button() const { return connect_; }
    QPushButton* disconnect_button() const { return disconnect_; }
    QPushButton* close_button() const { return close_; }

  private:
    void refresh();

    TcpServerController controller_;
    QLineEdit* place_ = nullptr;
    QListWidget* clients_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* disconnect_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
