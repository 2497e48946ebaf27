#include "ui/tcp_server_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tvx {

TcpServerDialog::TcpServerDialog(ToolState& tool, TcpLink& link, QWidget* owner)
    : QDialog(owner), controller_(tool, link) {
    setWindowTitle(QString::fromUtf8(TcpServerController::kCaption.data(),
                                     static_cast<qsizetype>(TcpServerController::kCaption.size())));
    setModal(true);
    controller_.open();

    place_ = new QLineEdit(this);
    place_->setObjectName(QStringLiteral("transmission_place"));
    place_->setReadOnly(true);
    clients_ = new QListWidget(this);
    clients_->setObjectName(QStringLiteral("client_list"));
    port_ = new QLineEdit(this);
    port_->setObjectName(QStringLiteral("port_number"));
    port_->setMaxLength(static_cast<int>(TcpServerController::kPortLength));
    connect_ = new QPushButton(QStringLiteral("接続"), this);
    disconnect_ = new QPushButton(QStringLiteral("切断"), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Transmission place"), this), 0, 0);
    grid->addWidget(place_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Client List"), this), 1, 0, Qt::AlignTop);
    grid->addWidget(clients_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Port Number"), this), 2, 0);
    grid->addWidget(port_, 2, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(connect_);
    buttons->addWidget(disconnect_);
    buttons->addWidget(close_);
    grid->addLayout(buttons, 3, 0, 1, 2);

    refresh();

    connect(port_, &QLineEdit::textEdited, this,
            [this](const QString& text) { controller_.set_port_text(text.toLatin1().toStdString()); });
    connect(clients_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        controller_.choose_client(clients_->row(item));
        refresh();
    });
    connect(connect_, &QPushButton::clicked, this, [this] {
        controller_.start();
        refresh();
    });
    connect(disconnect_, &QPushButton::clicked, this, [this] {
        controller_.stop();
        refresh();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(&link, &TcpLink::clients_changed, this, &TcpServerDialog::refresh);
    connect(&link, &TcpLink::connected_changed, this, &TcpServerDialog::refresh);
}

void TcpServerDialog::done(int result) {
    controller_.close();
    QDialog::done(result);
}

void TcpServerDialog::refresh() {
    clients_->clear();
    for (const auto& row : controller_.client_rows()) clients_->addItem(QString::fromStdString(row.address));
    place_->setText(QString::fromStdString(controller_.transmission_place()));
    connect_->setEnabled(controller_.connect_enabled());
    disconnect_->setEnabled(controller_.disconnect_enabled());
    port_->setEnabled(controller_.port_enabled());
    if (port_->text() != QString::fromLatin1(controller_.port_text())) {
        port_->setText(QString::fromLatin1(controller_.port_text()));
    }
}

}  // namespace tvx
