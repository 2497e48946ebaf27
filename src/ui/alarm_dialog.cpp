#include "ui/alarm_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

ConnectorBox::ConnectorBox(ConnectorTable& table, QWidget* parent) {
    box_ = new QGroupBox(QStringLiteral("コネクター番号割り付け"), parent);
    auto* layout = new QGridLayout(box_);
    const std::vector<std::string> items = ConnectorTable::items();
    for (int n = 0; n < kConnectorCount; ++n) {
        auto* label = new QLabel(qt_text(ConnectorTable::label(n)), box_);
        auto* combo = new QComboBox(box_);
        combo->setMaxVisibleItems(16);
        for (const std::string& item : items) combo->addItem(qt_text(item));
        combo->setCurrentIndex(table.selection(n));
        QObject::connect(combo, &QComboBox::activated, box_,
                         [&table, n](int index) { table.select(n, index); });
        layout->addWidget(label, n, 0);
        layout->addWidget(combo, n, 1);
        combos_[static_cast<std::size_t>(n)] = combo;
    }
    button_ = make_button("設定", box_);
    layout->addWidget(button_, kConnectorCount, 0, 1, 2, Qt::AlignHCenter);
}

AlarmDialog::AlarmDialog(ToolState& tool, CommandLink& link, Notices& notices,
                         const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool, link, notices), connectors_(editor_.connectors(), this) {
    setModal(true);
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    for (Setting setting : {Setting::kMode, Setting::kPolarity, Setting::kDisplay, Setting::kReturn}) {
        auto* group =
            new ChoiceGroup(AlarmEditor::caption(setting), AlarmEditor::items(setting), this, "設定");
        group->show_selection(editor_.selection(setting));
        connect(group->combo(), &QComboBox::activated, this,
                [this, setting](int index) { editor_.select(setting, index); });
        connect(group->button(), &QPushButton::clicked, this, [this, setting] { editor_.send(setting); });
        groups_[static_cast<std::size_t>(setting)] = group;
    }

    auto* hold_box = new QGroupBox(QStringLiteral("保持時間"), this);
    auto* hold_layout = new QVBoxLayout(hold_box);
    hold_time_ = new QLineEdit(hold_box);
    hold_time_->setMaxLength(AlarmEditor::kHoldTimeLength);
    hold_time_->setText(from_shift_jis(editor_.hold_time()));
    hold_time_->setFixedWidth(hold_time_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    hold_time_button_ = make_button("設定", hold_box);
    hold_layout->addWidget(hold_time_, 0, Qt::AlignHCenter);
    hold_layout->addWidget(hold_time_button_, 0, Qt::AlignHCenter);
    connect(hold_time_, &QLineEdit::textChanged, this,
            [this](const QString& text) { editor_.set_hold_time(to_shift_jis(text)); });
    connect(hold_time_button_, &QPushButton::clicked, this, [this] { editor_.send_hold_time(); });

    connect(connectors_.button(), &QPushButton::clicked, this, [this] { editor_.send_connectors(); });

    slave_ = make_slave_address_group(editor_.slave_address(), this);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    // Enter ends the dialog, as Close does.
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QHBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(groups_[0], 0, 0);
    grid->addWidget(hold_box, 0, 1);
    grid->addWidget(groups_[1], 0, 2);
    grid->addWidget(groups_[2], 1, 0);
    grid->addWidget(groups_[3], 1, 1);
    grid->addWidget(slave_, 1, 2);
    grid->addWidget(close_, 2, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setRowStretch(2, 1);
    layout->addLayout(grid);
    layout->addWidget(connectors_.box());
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tvx
