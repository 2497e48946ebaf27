#pragma once

#include <QDialog>

#include "editors/tcp_client_controller.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tvx {

class Ipv4AddressField;

// "TCP/IPの設定(Client)": a thin view over TcpClientController. The buttons follow the link's
// connection state as it changes, also while the dialog stays open.
class TcpClientDialog : public QDialog {
    Q_OBJECT
  public:
    TcpClientDialog(ToolState& tool, Notices& notices, TcpLink& link, QWidget* owner);

    void done(int result) override;

    Ipv4AddressField* address_field() const { return address_; }
    QListWidget* host_list() const { return hosts_; }
    QLineEdit* port_field() const { return port_; }
    QPushButton* add_button() const { return add_; }
    QPushButton* delete_button() const { return delete_; }
    QPushButton* set_button() const { return set_; }
    QPushButton* connect_button() const { return connect_; }
    QPushButton* disconnect_button() const { return disconnect_; }

  private:
    void fill_hosts();
    void show_state();

    TcpClientController controller_;
    Ipv4AddressField* address_ = nullptr;
    QListWidget* hosts_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* set_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* disconnect_ = nullptr;
};

}  // namespace tvx
