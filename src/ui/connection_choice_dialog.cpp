#include "ui/connection_choice_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/serial_port_list.h"
#include "ui/serial_device_box.h"

namespace tvx {

ConnectionChoiceDialog::ConnectionChoiceDialog(ToolState& tool, const QString& caption,
                                               std::vector<Group> groups, QWidget* owner)
    : QDialog(owner), groups_(std::move(groups)) {
    setWindowTitle(caption);
    setModal(true);
    connection_dialog_opened(tool);

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const ConnectionChoice& choice = groups_[g].choice;
        auto* box = new QGroupBox(groups_[g].title, this);
        auto* box_layout = new QVBoxLayout(box);
        auto* list = new QListWidget(box);
        list->setObjectName(QStringLiteral("choice_list_%1").arg(g));
        for (const std::string& item : choice.items()) list->addItem(QString::fromStdString(item));
        list->setEnabled(choice.enabled());
        if (choice.selection() >= 0) list->setCurrentRow(choice.selection());
        const int rows = list->count();
        list->setFixedHeight(list->sizeHintForRow(0) * rows + 2 * list->frameWidth() + 4);
        box_layout->addWidget(list);
        row->addWidget(box);
        lists_.push_back(list);
        connect(list, &QListWidget::currentRowChanged, this,
                [this, g](int r) { groups_[g].choice.choose(r); });
    }
    set_button_ = new QPushButton(QStringLiteral("設定"), this);
    set_button_->setDefault(true);
    layout->addWidget(set_button_, 0, Qt::AlignRight);
    connect(set_button_, &QPushButton::clicked, this, &QDialog::accept);
}

ConnectionChoiceDialog* make_interface_dialog(ToolState& tool, const TcpSender& connection, QWidget* owner) {
    std::vector<ConnectionChoiceDialog::Group> groups;
    groups.push_back({QStringLiteral("Interface"), interface_choice(tool, connection)});
    // Beside it, the pace of every sequence: a choice of this tool's, kept under a key of its own.
    groups.push_back({QStringLiteral("送信ペース"), pace_choice(tool)});
    return new ConnectionChoiceDialog(tool, QStringLiteral("インターフェイスの設定"), std::move(groups),
                                      owner);
}

ConnectionChoiceDialog* make_serial_settings_dialog(ToolState& tool, QWidget* owner) {
    std::vector<ConnectionChoiceDialog::Group> groups;
    groups.push_back({QStringLiteral("コム ポート"), com_port_choice(tool)});
    groups.push_back({QStringLiteral("コントロール"), rs_control_choice(tool)});
    auto* dialog =
        new ConnectionChoiceDialog(tool, QStringLiteral("シリアル通信の設定"), std::move(groups), owner);
    // Below the lists: the device the chosen port opens, following the port list.
    auto* devices = new SerialDeviceBox(tool, available_serial_devices(), dialog);
    static_cast<QVBoxLayout*>(dialog->layout())->insertWidget(1, devices);
    QObject::connect(dialog->list(0), &QListWidget::currentRowChanged, devices, &SerialDeviceBox::show_port);
    return dialog;
}

ConnectionChoiceDialog* make_client_server_dialog(ToolState& tool, const TcpSender& connection,
                                                  QWidget* owner) {
    std::vector<ConnectionChoiceDialog::Group> groups;
    groups.push_back({QStringLiteral("選択"), client_server_choice(tool, connection)});
    return new ConnectionChoiceDialog(tool, QStringLiteral("クライアント/サーバー"), std::move(groups),
                                      owner);
}

}  // namespace tvx
