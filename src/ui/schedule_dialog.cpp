#include "ui/schedule_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/fleet_dialog.h"
#include "ui/setting_editor_widgets.h"

namespace tvx {

ScheduleDialog::ScheduleDialog(ToolState& tool, CommandLink& link, Notices& notices,
                               ScheduleSelection& selection, const std::string& selected_address,
                               QWidget* owner)
    : QDialog(owner), editor_(tool, link, notices, selection) {
    setModal(true);
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    preview_ = new PreviewFrame(QSize(500, 205), this);
    preview_->setObjectName(QStringLiteral("preview"));
    auto* selectors = new QHBoxLayout;
    for (Field field : {Field::kDay, Field::kPattern, Field::kHour, Field::kMinute, Field::kPage}) {
        auto* group = new ChoiceGroup(ScheduleEditor::caption(field), ScheduleEditor::items(field), this);
        connect(group->combo(), &QComboBox::activated, this, [this, field](int index) {
            editor_.select(field, index);
            draw_preview();
            if (field == Field::kDay || field == Field::kPattern) show_entry();
        });
        selectors->addWidget(group);
        groups_[static_cast<std::size_t>(field)] = group;
    }
    selectors->addStretch();

    set_ = make_button("設定", this);
    all_ = make_button("全設定", this);
    close_ = make_button("Close", this);
    slave_ = make_slave_address_group(editor_.slave_address(), this);
    day_off_ = make_button("日OFF", this);
    connect(set_, &QPushButton::clicked, this, [this] { editor_.send_day(); });
    connect(all_, &QPushButton::clicked, this, [this, &tool, &notices] {
        if (run_on_chosen_units(this, tool, notices, {FleetController::Command::kSchedule, "スケジュール 全設定"}))
            return;
        if (!editor_.send_all_days()) return;
        close_->setEnabled(false);
        progress_->setValue(0);
        show_pace(progress_, tool);
        timer_.start(pace_tick_ms(tool, kScheduleSendTickMs));
        job_->started(editor_.sequence(), pace_tick_ms(tool, kScheduleSendTickMs), fast_pace(tool));
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    connect(day_off_, &QPushButton::clicked, this, [this] {
        editor_.clear_day();
        draw_preview();
        show_entry();
    });

    job_ = new SequenceJobView("スケジュール 全設定", notices, this);
    connect(job_, &SequenceJobView::stop_requested, this, &ScheduleDialog::stop);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, kScheduleProgressRange);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    percent_ = new QLineEdit(this);
    percent_->setReadOnly(true);
    percent_->setObjectName(QStringLiteral("percent"));
    percent_->setFixedWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    percent_->setAlignment(Qt::AlignRight);

    auto* grid = new QGridLayout(this);
    grid->addWidget(preview_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* side = new QVBoxLayout;
    side->addWidget(set_);
    side->addWidget(all_);
    side->addWidget(close_);
    side->addWidget(slave_);
    side->addWidget(day_off_);
    side->addStretch();
    grid->addLayout(side, 0, 1, 2, 1);
    grid->addLayout(selectors, 1, 0);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_, 1);
    bottom->addWidget(percent_);
    bottom->addWidget(new QLabel(QStringLiteral("％"), this));
    grid->addLayout(bottom, 2, 0, 1, 2);
    grid->addWidget(job_, 3, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    show_entry();
    connect(&timer_, &QTimer::timeout, this, &ScheduleDialog::timer_tick);
    // The window drawn again makes the preview due; during the all-days send the timer keeps its pace.
    new ExposeWatcher(this, [this] {
        const int period = editor_.repainted();
        if (period > 0) timer_.start(period);
    });
    timer_.start(editor_.open_editor());
}

ScheduleDialog::~ScheduleDialog() {
    timer_.stop();
    editor_.close_editor();
}

void ScheduleDialog::show_entry() {
    for (Field field : {Field::kDay, Field::kPattern, Field::kHour, Field::kMinute, Field::kPage}) {
        groups_[static_cast<std::size_t>(field)]->show_selection(editor_.selection(field));
    }
}

void ScheduleDialog::draw_preview() {
    preview_->draw(editor_.draw_preview());
}

void ScheduleDialog::stop() {
    // Taken at once rather than a tick away: a tick with a stop asked for sends nothing.
    if (editor_.stop()) timer_tick();
}

void ScheduleDialog::timer_tick() {
    // A notice box opened during a tick runs its own event loop: the ticks it lets through wait.
    if (in_tick_) return;
    in_tick_ = true;
    const ScheduleEditor::Tick tick = editor_.tick();
    in_tick_ = false;
    if (tick != ScheduleEditor::Tick::kPreview && tick != ScheduleEditor::Tick::kIdle)
        job_->show_state(editor_.sequence());
    switch (tick) {
        case ScheduleEditor::Tick::kPreview:
            draw_preview();
            break;
        case ScheduleEditor::Tick::kSent:
            progress_->setValue(editor_.progress());
            percent_->setText(qt_text(editor_.percent_text()));
            break;
        case ScheduleEditor::Tick::kCompleted:
            timer_.stop();
            percent_->setText(qt_text(editor_.percent_text()));
            close_->setEnabled(true);
            progress_->setValue(0);
            accept();
            return;
        case ScheduleEditor::Tick::kStopped:
            close_->setEnabled(true);
            break;
        case ScheduleEditor::Tick::kIdle:
        case ScheduleEditor::Tick::kWaiting:
            break;
    }
    if (!editor_.sending()) timer_.stop();
}

void ScheduleDialog::reject() {
    // The close box and Escape are refused while the days are being sent, as Close is.
    if (editor_.sending()) return;
    QDialog::reject();
}

}  // namespace tvx
