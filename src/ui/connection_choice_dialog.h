#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "editors/connection_choice.h"

class QListWidget;
class QPushButton;

namespace tvx {

// The small connection dialogs made of lists, each in its group box, and "設定", which only closes:
// "インターフェイスの設定", "シリアル通信の設定" and "クライアント/サーバー". Picking an item applies
// and writes it at once.
class ConnectionChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    struct Group {
        QString title;
        ConnectionChoice choice;
    };

    ConnectionChoiceDialog(ToolState& tool, const QString& caption, std::vector<Group> groups,
                           QWidget* owner);

    QListWidget* list(int group) const { return lists_.at(static_cast<std::size_t>(group)); }
    QPushButton* set_button() const { return set_button_; }

  private:
    std::vector<Group> groups_;
    std::vector<QListWidget*> lists_;
    QPushButton* set_button_ = nullptr;
};

// "インターフェイスの設定": group "Interface".
ConnectionChoiceDialog* make_interface_dialog(ToolState& tool, const TcpSender& connection, QWidget* owner);
// "シリアル通信の設定": groups "コム ポート" and "コントロール".
ConnectionChoiceDialog* make_serial_settings_dialog(ToolState& tool, QWidget* owner);
// "クライアント/サーバー": group "選択".
ConnectionChoiceDialog* make_client_server_dialog(ToolState& tool, const TcpSender& connection,
                                                  QWidget* owner);

}  // namespace tvx
