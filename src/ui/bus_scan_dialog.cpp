#include "ui/bus_scan_dialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "ui/setting_editor_widgets.h"

namespace tvx {

BusScanDialog::BusScanDialog(ToolState& tool, CommandLink& link, Notices& notices, ReplyRoute route,
                             QWidget* owner)
    : QDialog(owner), tool_(tool), sequence_(tool, link, notices), route_(std::move(route)) {
    setModal(true);
    setWindowTitle(QStringLiteral("RS-485 スキャン"));

    start_ = make_button("スキャン開始", this);
    connect(start_, &QPushButton::clicked, this, &BusScanDialog::start);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    percentage_ = new QLineEdit(this);
    percentage_->setReadOnly(true);
    percentage_->setFocusPolicy(Qt::NoFocus);
    percentage_->setFixedWidth(percentage_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    percentage_->setAlignment(Qt::AlignRight);
    percentage_->setText(QStringLiteral("0"));
    job_ = new SequenceJobView("RS-485 スキャン", notices, this);
    connect(job_, &SequenceJobView::stop_requested, this, &BusScanDialog::stop);

    auto* found_group = new QGroupBox(QStringLiteral("応答したユニット"), this);
    units_ = new QListWidget(found_group);
    units_->setObjectName(QStringLiteral("units"));
    units_->setMinimumHeight(160);
    outcome_ = new QLabel(found_group);
    outcome_->setObjectName(QStringLiteral("outcome"));
    auto* found_layout = new QVBoxLayout(found_group);
    found_layout->addWidget(units_);
    found_layout->addWidget(outcome_);
    connect(units_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { choose(units_->row(item)); });

    choose_ = make_button("選択", this);
    choose_->setEnabled(false);
    connect(units_, &QListWidget::currentRowChanged, this,
            [this](int row) { choose_->setEnabled(row >= 0 && !sequence_.running()); });
    connect(choose_, &QPushButton::clicked, this, [this] { choose(units_->currentRow()); });
    close_ = make_button("Close", this);
    connect(close_, &QPushButton::clicked, this, &BusScanDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("アドレス 00～31 にバージョンを問い合わせます"), this));
    top->addStretch();
    top->addWidget(start_);
    auto* bar = new QHBoxLayout;
    bar->addWidget(progress_, 1);
    bar->addWidget(percentage_);
    bar->addWidget(new QLabel(QStringLiteral("％"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(choose_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bar);
    layout->addWidget(job_);
    layout->addWidget(found_group, 1);
    layout->addLayout(buttons);

    timer_.setInterval(kBusScanTickMs);
    connect(&timer_, &QTimer::timeout, this, &BusScanDialog::tick);
}

BusScanDialog::~BusScanDialog() {
    timer_.stop();
    if (sequence_.running()) {
        sequence_.cancel();
        if (route_) route_({});
    }
}

void BusScanDialog::start() {
    units_->clear();
    outcome_->clear();
    if (route_) route_([this](const std::string& line) { sequence_.reply_line(line); });
    if (!sequence_.start()) {
        if (route_) route_({});
        return;
    }
    start_->setEnabled(false);
    close_->setEnabled(false);
    choose_->setEnabled(false);
    job_->started(sequence_, kBusScanTickMs, false);
    show_progress();
    timer_.start();
}

void BusScanDialog::stop() {
    if (sequence_.stop()) tick();
}

void BusScanDialog::tick() {
    const PacedSequence::State state = sequence_.tick();
    show_progress();
    show_found();
    if (state != PacedSequence::State::kRunning) end_scan(state);
}

void BusScanDialog::end_scan(PacedSequence::State state) {
    timer_.stop();
    // The operator learns that the whole bus was asked, also when nothing answered.
    if (state == PacedSequence::State::kCompleted) {
        outcome_->setText(units_->count() == 0
                              ? QStringLiteral("応答したユニットはありません。")
                              : QStringLiteral("%1 台のユニットが応答しました。").arg(units_->count()));
    } else if (state == PacedSequence::State::kInterrupted) {
        outcome_->setText(QStringLiteral("スキャンを中止しました。%1 台のユニットが応答しました。").arg(units_->count()));
    } else {
        outcome_->setText(QStringLiteral("スキャンは途中で止まりました。"));
    }
    if (route_) route_({});
    start_->setEnabled(true);
    close_->setEnabled(true);
    choose_->setEnabled(units_->currentRow() >= 0);
}

void BusScanDialog::show_progress() {
    progress_->setValue(sequence_.percent());
    percentage_->setText(QString::number(sequence_.percent()));
    job_->show_state(sequence_);
}

void BusScanDialog::show_found() {
    const std::vector<BusUnit> units = sequence_.found();
    if (static_cast<int>(units.size()) == units_->count()) return;
    const int row = units_->currentRow();
    units_->clear();
    for (const BusUnit& unit : units) {
        char address[8];
        std::snprintf(address, sizeof address, "%02d", unit.address);
        const QString version =
            unit.version.empty() ? QStringLiteral("(バージョン不明)") : qt_text(unit.version);
        auto* item = new QListWidgetItem(
            QStringLiteral("アドレス %1    バージョン %2").arg(QString::fromLatin1(address), version),
            units_);
        item->setData(Qt::UserRole, unit.address);
    }
    if (row >= 0 && row < units_->count()) units_->setCurrentRow(row);
}

bool BusScanDialog::choose(int row) {
    if (sequence_.running() || row < 0 || row >= units_->count()) return false;
    tool_.model.run.slave_address = units_->item(row)->data(Qt::UserRole).toInt();
    accept();
    return true;
}

void BusScanDialog::reject() {
    if (sequence_.running()) return;
    QDialog::reject();
}

void BusScanDialog::closeEvent(QCloseEvent* event) {
    if (sequence_.running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tvx
