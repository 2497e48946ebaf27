#include "ui/tcp_client_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ipv4_address_field.h"

namespace tvx {

TcpClientDialog::TcpClientDialog(ToolState& tool, Notices& notices, TcpLink& link, QWidget* owner)
    : QDialog(owner), controller_(tool, notices, link) {
    setWindowTitle(QString::fromUtf8(TcpClientController::kCaption.data(),
                                     static_cast<qsizetype>(TcpClientController::kCaption.size())));
    setModal(true);
    controller_.open();

    address_ = new Ipv4AddressField(this);
    hosts_ = new QListWidget(this);
    hosts_->setObjectName(QStringLiteral("host_list"));
    hosts_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    port_ = new QLineEdit(this);
    port_->setObjectName(QStringLiteral("port_number"));
    port_->setMaxLength(static_cast<int>(TcpClientController::kPortLength));
    add_ = new QPushButton(QStringLiteral("追加"), this);
    delete_ = new QPushButton(QStringLiteral("削除"), this);
    set_ = new QPushButton(QStringLiteral("設定"), this);
    connect_ = new QPushButton(QStringLiteral("接続"), this);
    disconnect_ = new QPushButton(QStringLiteral("切断"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Host IP Address"), this), 0, 0);
    grid->addWidget(address_, 0, 1);
    grid->addWidget(add_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Host List"), this), 1, 0, Qt::AlignTop);
    grid->addWidget(hosts_, 1, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(delete_);
    side->addStretch();
    grid->addLayout(side, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Port Number"), this), 2, 0);
    grid->addWidget(port_, 2, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(connect_);
    buttons->addWidget(disconnect_);
    buttons->addWidget(set_);
    grid->addLayout(buttons, 3, 0, 1, 3);

    address_->set_address(controller_.address());
    port_->setText(QString::fromLatin1(controller_.port_text()));
    fill_hosts();
    show_state();

    connect(address_, &Ipv4AddressField::address_edited, this, [this] {
        if (const std::optional<HostAddress> address = address_->address()) controller_.set_address(*address);
    });
    connect(port_, &QLineEdit::textEdited, this,
            [this](const QString& text) { controller_.set_port_text(text.toLatin1().toStdString()); });
    connect(add_, &QPushButton::clicked, this, [this] {
        // Only a whole address is added; an octet the field cannot take is refused and shown.
        if (!controller_.add(address_->text().toStdString())) address_->focus_invalid_octet();
        fill_hosts();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        const bool selected = hosts_->currentItem() && hosts_->currentItem()->isSelected();
        controller_.remove(selected ? hosts_->currentRow() : -1);
        fill_hosts();
    });
    connect(hosts_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        controller_.choose_host(hosts_->row(item));
        address_->set_address(controller_.address());
    });
    connect(connect_, &QPushButton::clicked, this, [this] {
        controller_.connect();
        show_state();
    });
    connect(disconnect_, &QPushButton::clicked, this, [this] {
        controller_.disconnect();
        show_state();
    });
    connect(set_, &QPushButton::clicked, this, &QDialog::accept);
    connect(&link, &TcpLink::connected_changed, this, &TcpClientDialog::show_state);
}

void TcpClientDialog::done(int result) {
    controller_.close();
    QDialog::done(result);
}

void TcpClientDialog::fill_hosts() {
    hosts_->clear();
    for (const std::string& host : controller_.host_items()) hosts_->addItem(QString::fromStdString(host));
}

void TcpClientDialog::show_state() {
    connect_->setEnabled(controller_.connect_enabled());
    disconnect_->setEnabled(controller_.disconnect_enabled());
}

}  // namespace tvx
