#include "ui/remote_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

RemoteDialog::RemoteDialog(ToolState& tool, CommandLink& link, const std::string& selected_address,
                           QWidget* owner)
    : QDialog(owner), editor_(tool, link), connectors_(editor_.connectors(), this) {
    setModal(true);
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    connect(connectors_.button(), &QPushButton::clicked, this, [this] { editor_.send_connectors(); });
    mode_ = new ChoiceGroup("モード", RemoteEditor::mode_items(), this, "設定");
    mode_->show_selection(editor_.mode_selection());
    connect(mode_->combo(), &QComboBox::activated, this, [this](int index) { editor_.select_mode(index); });
    connect(mode_->button(), &QPushButton::clicked, this, [this] { editor_.send_mode(); });
    slave_ = make_slave_address_group(editor_.slave_address(), this);
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    // Enter ends the dialog, as Close does.
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(connectors_.box());
    auto* side = new QVBoxLayout;
    side->addWidget(mode_);
    side->addWidget(slave_);
    side->addStretch();
    side->addWidget(close_, 0, Qt::AlignRight);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tvx
