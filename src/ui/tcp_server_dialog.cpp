#include "ui/tcp_server_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <set>

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
    clients_ = new QTableWidget(0, 5, this);
    clients_->setObjectName(QStringLiteral("client_list"));
    clients_->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("アドレス"),
                                         QStringLiteral("ポート"), QStringLiteral("接続時刻"),
                                         QStringLiteral("最後の結果")});
    clients_->verticalHeader()->setVisible(false);
    clients_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    clients_->setSelectionBehavior(QAbstractItemView::SelectRows);
    clients_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    clients_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    clients_->setMinimumSize(520, 260);
    clients_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("connected_count"));
    choose_all_ = new QPushButton(QStringLiteral("全台を選択"), this);
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
    auto* list_bar = new QHBoxLayout;
    list_bar->addWidget(count_);
    list_bar->addStretch();
    list_bar->addWidget(choose_all_);
    grid->addLayout(list_bar, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Port Number"), this), 3, 0);
    grid->addWidget(port_, 3, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(connect_);
    buttons->addWidget(disconnect_);
    buttons->addWidget(close_);
    grid->addLayout(buttons, 4, 0, 1, 2);

    refresh();

    connect(port_, &QLineEdit::textEdited, this,
            [this](const QString& text) { controller_.set_port_text(text.toLatin1().toStdString()); });
    connect(clients_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        controller_.choose_client(row);
        refresh();
    });
    connect(clients_, &QTableWidget::itemSelectionChanged, this, &TcpServerDialog::selection_changed);
    connect(choose_all_, &QPushButton::clicked, this, [this] {
        controller_.choose_all();
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

void TcpServerDialog::selection_changed() {
    // One row takes a double-click, as ever; several at once are chosen together.
    std::set<int> rows;
    for (const QModelIndex& index : clients_->selectionModel()->selectedRows()) rows.insert(index.row());
    if (rows.size() < 2) return;
    controller_.choose_clients(std::vector<int>(rows.begin(), rows.end()));
    place_->setText(QString::fromStdString(controller_.transmission_place()));
}

void TcpServerDialog::refresh() {
    // Rebuilt from the table every time, keeping the chosen units highlighted and the view where it was.
    const QSignalBlocker quiet(clients_);
    const int scrolled = clients_->verticalScrollBar() ? clients_->verticalScrollBar()->value() : 0;
    const std::vector<TcpServerController::ClientRow> rows = controller_.client_rows();
    clients_->clearSelection();
    clients_->setRowCount(static_cast<int>(rows.size()));
    const auto set = [this](int r, int column, const QString& text) {
        QTableWidgetItem* item = clients_->item(r, column);
        if (!item) {
            item = new QTableWidgetItem;
            clients_->setItem(r, column, item);
        }
        if (item->text() != text) item->setText(text);
    };
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TcpServerController::ClientRow& row = rows[static_cast<std::size_t>(r)];
        set(r, 0, QString::number(row.index));
        set(r, 1, QString::fromStdString(row.address));
        set(r, 2, QString::number(row.port));
        set(r, 3, QString::fromStdString(row.connected_at));
        set(r, 4, QString::fromStdString(row.last_result));
        if (row.chosen) {
            clients_->selectionModel()->select(clients_->model()->index(r, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    if (clients_->verticalScrollBar()) clients_->verticalScrollBar()->setValue(scrolled);
    count_->setText(QString::fromStdString(controller_.connected_count()));
    choose_all_->setEnabled(controller_.choose_all_enabled());
    place_->setText(QString::fromStdString(controller_.transmission_place()));
    connect_->setEnabled(controller_.connect_enabled());
    disconnect_->setEnabled(controller_.disconnect_enabled());
    port_->setEnabled(controller_.port_enabled());
    if (port_->text() != QString::fromLatin1(controller_.port_text())) {
        port_->setText(QString::fromLatin1(controller_.port_text()));
    }
}

}  // namespace tvx
