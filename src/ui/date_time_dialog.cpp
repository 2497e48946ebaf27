#include "ui/date_time_dialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/monitor_preview_view.h"
#include "ui/setting_editor_widgets.h"

namespace tvx {

LocalDateTime DateTimeDialog::local_now() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

DateTimeDialog::DateTimeDialog(ToolState& tool, CommandLink& link, const LocalDateTime& now,
                               const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool, link) {
    setModal(true);
    editor_.open_editor(now);
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    // The date line on the monitor as the selectors and the line options stand: the clock as it would be
    // set, not as it runs.
    monitor_ = new MonitorPreviewView(tool, this);
    monitor_->set_clock_source([this] {
        const PreviewClock now = MonitorPreviewView::local_clock();
        const auto chosen = [this](ClockField field, int base, int otherwise) {
            const int index = editor_.selection(field);
            return index >= 0 ? index + base : otherwise;
        };
        return PreviewClock{
            chosen(ClockField::kYear, 2000, now.year),  chosen(ClockField::kMonth, 1, now.month),
            chosen(ClockField::kDay, 1, now.day),       chosen(ClockField::kHour, 0, now.hour),
            chosen(ClockField::kMinute, 0, now.minute), chosen(ClockField::kSecond, 0, now.second)};
    });
    monitor_->redraw();

    auto* grid = new QGridLayout(this);
    int cell = 0;
    for (ClockField field : {ClockField::kYear, ClockField::kMonth, ClockField::kDay, ClockField::kHour,
                             ClockField::kMinute, ClockField::kSecond}) {
        auto* group =
            new ChoiceGroup(DateTimeEditor::caption(field), DateTimeEditor::items(field), this, "設定");
        group->show_selection(editor_.selection(field));
        connect(group->combo(), &QComboBox::activated, this, [this, field](int index) {
            editor_.select(field, index);
            monitor_->redraw();
        });
        connect(group->button(), &QPushButton::clicked, this, [this, field] { editor_.send(field); });
        grid->addWidget(group, cell / 3, cell % 3);
        ++cell;
        clock_[static_cast<std::size_t>(field)] = group;
    }
    for (LineOption option : {LineOption::kRange, LineOption::kDisplay, LineOption::kSize}) {
        auto* group =
            new ChoiceGroup(DateTimeEditor::caption(option), DateTimeEditor::items(option), this, "設定");
        group->show_selection(editor_.selection(option));
        connect(group->combo(), &QComboBox::activated, this, [this, option](int index) {
            editor_.select(option, index);
            monitor_->redraw();
        });
        connect(group->button(), &QPushButton::clicked, this, [this, option] { editor_.send(option); });
        grid->addWidget(group, cell / 3, cell % 3);
        ++cell;
        options_[static_cast<std::size_t>(option)] = group;
    }

    auto* correction_box = new QGroupBox(QStringLiteral("30秒補正"), this);
    auto* correction_layout = new QVBoxLayout(correction_box);
    correction_ = make_button("設定", correction_box);
    correction_layout->addWidget(correction_, 0, Qt::AlignHCenter);
    connect(correction_, &QPushButton::clicked, this, [this] { editor_.send_correction(); });
    grid->addWidget(correction_box, 3, 0, Qt::AlignTop);

    slave_ = make_slave_address_group(editor_.slave_address(), this);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    grid->addWidget(slave_, 3, 1, Qt::AlignTop);

    // Enter ends the dialog, as Close does.
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(close_, 3, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(monitor_, 0, 3, 4, 1, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tvx
