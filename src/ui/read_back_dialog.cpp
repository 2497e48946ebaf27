#include "ui/read_back_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

UnitSequenceDialog::UnitSequenceDialog(std::unique_ptr<UnitSequenceController> controller, Notices& notices,
                                       const std::string& selected_address, QWidget* owner)
    : QDialog(owner), controller_(std::move(controller)) {
    const UnitSequenceController::Definition& definition = controller_->definition();
    setModal(true);
    controller_->open();
    setWindowTitle(qt_text(controller_->window_title(selected_address)));

    auto* slave_group = new ChoiceGroup("スレーブアドレス", controller_->slave_items(), this);
    slave_group->setObjectName(QStringLiteral("slave_address"));
    slave_ = slave_group->combo();
    const SlaveSelector selector = controller_->slave_selector();
    slave_->setEnabled(selector.enabled);
    slave_group->show_selection(selector.enabled ? selector.selected : -1);
    connect(slave_, &QComboBox::activated, this,
            [this](int index) { controller_->select_slave_address(index); });

    start_ = make_button(definition.start_caption, this);
    connect(start_, &QPushButton::clicked, this, &UnitSequenceDialog::start);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, definition.progress_range);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    percentage_ = new QLineEdit(this);
    percentage_->setReadOnly(true);
    percentage_->setFocusPolicy(Qt::NoFocus);
    percentage_->setFixedWidth(percentage_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    percentage_->setAlignment(Qt::AlignRight);

    // Which pace the sequence runs at, chosen under "インターフェイス".
    pace_ = new QLabel(qt_text(controller_->pace_text()), this);
    pace_->setObjectName(QStringLiteral("pace"));

    job_ = new SequenceJobView(std::string(definition.caption), notices, this);
    connect(job_, &SequenceJobView::stop_requested, this, &UnitSequenceDialog::stop);

    close_ = make_button("Close", this);
    connect(close_, &QPushButton::clicked, this, &UnitSequenceDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(slave_group);
    top->addStretch();
    top->addWidget(start_, 0, Qt::AlignVCenter);
    auto* bar = new QHBoxLayout;
    bar->addWidget(progress_, 1);
    bar->addWidget(percentage_);
    bar->addWidget(new QLabel(QStringLiteral("％"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bar);
    layout->addWidget(job_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(pace_);
    bottom->addStretch();
    bottom->addWidget(close_);
    layout->addLayout(bottom);

    timer_.setInterval(controller_->tick_ms());
    connect(&timer_, &QTimer::timeout, this, &UnitSequenceDialog::tick);
}

// Dropping a running sequence gives the model back (the controller's sequence cancels itself).
UnitSequenceDialog::~UnitSequenceDialog() {
    timer_.stop();
}

void UnitSequenceDialog::start() {
    if (!controller_->start()) return;
    // The pace chosen when the sequence starts holds for the whole run.
    timer_.setInterval(controller_->tick_ms());
    pace_->setText(qt_text(controller_->pace_text()));
    close_->setEnabled(false);
    job_->started(controller_->sequence(), controller_->tick_ms(), controller_->fast());
    show_progress();
    timer_.start();
}

void UnitSequenceDialog::stop() {
    // At the fast pace the next tick is a moment away; at the standard pace it may be seconds, so the
    // stop is taken now: a tick with a stop asked for sends nothing.
    if (controller_->stop()) tick();
}

void UnitSequenceDialog::tick() {
    const UnitSequenceController::Outcome outcome = controller_->tick();
    show_progress();
    if (outcome == UnitSequenceController::Outcome::kRunning) return;
    timer_.stop();
    close_->setEnabled(true);
    if (outcome == UnitSequenceController::Outcome::kCompleted) accept();
}

void UnitSequenceDialog::show_progress() {
    progress_->setValue(controller_->progress());
    percentage_->setText(qt_text(controller_->percentage()));
    job_->show_state(controller_->sequence());
}

void UnitSequenceDialog::reject() {
    if (controller_->running()) return;
    QDialog::reject();
}

void UnitSequenceDialog::closeEvent(QCloseEvent* event) {
    if (controller_->running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

UnitSequenceDialog* make_read_back_dialog(ToolState& tool, CommandLink& link, Notices& notices,
                                          const std::string& selected_address, QWidget* owner) {
    return new UnitSequenceDialog(make_read_back_controller(tool, link, notices), notices, selected_address,
                                  owner);
}

}  // namespace tvx
