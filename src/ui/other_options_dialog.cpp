#include "ui/other_options_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

OtherOptionsDialog::OtherOptionsDialog(ToolState& tool, CommandLink& link,
                                       const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool, link) {
    setModal(true);
    editor_.open_editor();
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    auto* grid = new QGridLayout(this);
    int column = 0;
    for (Option option : {Option::kConnectorInput, Option::kPowerOnPage, Option::kVideoLossBackground}) {
        auto* group = new ChoiceGroup(OtherOptionsEditor::caption(option), OtherOptionsEditor::items(option),
                                      this, "設定");
        group->show_selection(editor_.selection(option));
        connect(group->combo(), &QComboBox::activated, this,
                [this, option](int index) { editor_.select(option, index); });
        connect(group->button(), &QPushButton::clicked, this, [this, option] { editor_.send(option); });
        grid->addWidget(group, 0, column++);
        groups_[static_cast<std::size_t>(option)] = group;
    }
    slave_ = make_slave_address_group(editor_.slave_address(), this);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    close_ = make_button("Close", this);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* corner = new QVBoxLayout;
    corner->addWidget(slave_);
    corner->addWidget(close_, 0, Qt::AlignRight);
    grid->addLayout(corner, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tvx
