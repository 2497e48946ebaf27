#include "ui/glyph_insert_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {
namespace {

void refill(ChoiceGroup* group, const std::vector<std::string>& items, int selection) {
    {
        const QSignalBlocker quiet(group->combo());
        group->combo()->clear();
        for (const std::string& item : items) group->combo()->addItem(qt_text(item));
    }
    group->show_selection(selection);
}

}  // namespace

GlyphInsertDialog::GlyphInsertDialog(ToolState& tool, CommandLink& link, GlyphEditorMemory& memory,
                                     const std::string& selected_address, QWidget* owner)
    : QDialog(owner), controller_(tool, link, memory) {
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    controller_.open();
    setWindowTitle(qt_text(controller_.window_title(selected_address)));

    page_ = new ChoiceGroup("ページ", GlyphInsertController::page_items(), this);
    page_->setObjectName(QStringLiteral("page"));
    size_ = new ChoiceGroup("フォント サイズ", GlyphInsertController::size_items(), this);
    size_->setObjectName(QStringLiteral("size"));
    slave_ = make_slave_address_group(controller_.slave_address(), this);
    number_ = new ChoiceGroup("外字登録番号", controller_.number_items(), this);
    number_->setObjectName(QStringLiteral("number"));
    position_ = new ChoiceGroup("挿入位置", controller_.position_items(), this);
    position_->setObjectName(QStringLiteral("position"));
    set_ = make_button("設定", this);
    close_ = make_button("Close", this);

    auto* groups = new QGridLayout;
    groups->addWidget(page_, 0, 0);
    groups->addWidget(size_, 0, 1);
    groups->addWidget(slave_, 0, 2);
    groups->addWidget(number_, 1, 0);
    groups->addWidget(position_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(set_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    page_->show_selection(controller_.page_selection());
    size_->show_selection(controller_.size_selection());
    number_->show_selection(controller_.number_selection());
    position_->show_selection(controller_.position_selection());

    connect(page_->combo(), &QComboBox::activated, this,
            [this](int index) { controller_.select_page(index); });
    connect(number_->combo(), &QComboBox::activated, this,
            [this](int index) { controller_.select_number(index); });
    connect(position_->combo(), &QComboBox::activated, this,
            [this](int index) { controller_.select_position(index); });
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { controller_.select_slave_address(index); });
    connect(size_->combo(), &QComboBox::activated, this, [this](int index) {
        if (controller_.select_size(index)) fill_ranges();
    });
    connect(set_, &QPushButton::clicked, this, [this] { controller_.send(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

void GlyphInsertDialog::fill_ranges() {
    refill(number_, controller_.number_items(), controller_.number_selection());
    refill(position_, controller_.position_items(), controller_.position_selection());
}

}  // namespace tvx
