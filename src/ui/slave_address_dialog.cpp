#include "ui/slave_address_dialog.h"

#include <QComboBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

SlaveAddressDialog::SlaveAddressDialog(ToolState& tool, const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool) {
    setModal(true);
    editor_.open_editor();
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    slave_ = make_slave_address_group(editor_.slave_address(), this);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    close_ = make_button("Close", this);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(slave_);
    layout->addWidget(close_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tvx
