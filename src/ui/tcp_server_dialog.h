#pragma once

#include <QDialog>

#include "editors/tcp_server_controller.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tvx {

// "TCP/IPの設定(Server)": a thin view over TcpServerController, refreshed whenever a unit arrives or
// leaves or the listening state changes.
class TcpServerDialog : public QDialog {
    Q_OBJECT
  public:
    TcpServerDialog(ToolState& tool, TcpLink& link, QWidget* owner);

    void done(int result) override;

    QLineEdit* transmission_place() const { return place_; }
    // A row per unit: table index, address, port, when it connected, the last result. Several rows
    // selected at once are chosen together; a double-click chooses one.
    QTableWidget* client_list() const { return clients_; }
    QLabel* connected_count() const { return count_; }
    QPushButton* choose_all_button() const { return choose_all_; }
    QLineEdit* port_field() const { return port_; }
    QPushButton* connect_button() const { return connect_; }
    QPushButton* disconnect_button() const { return disconnect_; }
    QPushButton* close_button() const { return close_; }

  private:
    void refresh();
    void selection_changed();

    TcpServerController controller_;
    QLineEdit* place_ = nullptr;
    QTableWidget* clients_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* choose_all_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* disconnect_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
