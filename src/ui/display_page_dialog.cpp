#include "ui/display_page_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

DisplayPageDialog::DisplayPageDialog(ToolState& tool, CommandLink& link, DisplayPageChoice& choice,
                                     const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool, link, choice) {
    setModal(true);
    editor_.open_editor();
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    auto* grid = new QGridLayout(this);
    int column = 0;
    for (Setting setting : {Setting::kPage, Setting::kDisplaySwitch}) {
        auto* group = new ChoiceGroup(DisplayPageEditor::caption(setting), DisplayPageEditor::items(setting),
                                      this, "設定");
        group->show_selection(editor_.selection(setting));
        connect(group->combo(), &QComboBox::activated, this,
                [this, setting](int index) { editor_.select(setting, index); });
        connect(group->button(), &QPushButton::clicked, this, [this, setting] { editor_.send(setting); });
        grid->addWidget(group, 0, column++);
        groups_[static_cast<std::size_t>(setting)] = group;
    }
    slave_ = make_slave_address_group(editor_.slave_address(), this);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    close_ = make_button("Close", this);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* corner = new QVBoxLayout;
    corner->addWidget(slave_);
    corner->addWidget(close_, 0, Qt::AlignRight);
    grid->addLayout(corner, 1, 0, 1, 2, Qt::AlignLeft);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tvx
