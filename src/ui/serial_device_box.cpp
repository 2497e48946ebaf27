#include "ui/serial_device_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editors/serial_port_binding.h"
#include "link/serial_port_names.h"

namespace tvx {

SerialDeviceBox::SerialDeviceBox(ToolState& tool, std::vector<std::string> devices, QWidget* parent)
    : QWidget(parent), tool_(tool) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    caption_ = new QLabel(this);
    layout->addWidget(caption_);
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("serial_device"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setMinimumContentsLength(32);
    for (const std::string& device : devices) combo_->addItem(QString::fromStdString(device));
    layout->addWidget(combo_);
    connect(combo_, &QComboBox::currentTextChanged, this, [this](const QString& text) { store(text); });
    show_port(tool_.config.com_port);
}

void SerialDeviceBox::show_port(int com_port) {
    com_port_ = com_port;
    const bool valid = !com_port_key(com_port).empty();
    setEnabled(valid);
    caption_->setText(valid ? QStringLiteral("COM %1 のデバイス").arg(com_port + 1)
                            : QStringLiteral("デバイス"));
    loading_ = true;
    combo_->lineEdit()->setPlaceholderText(QString::fromStdString(platform_serial_device(com_port)));
    combo_->setCurrentIndex(-1);
    combo_->setEditText(QString::fromStdString(bound_serial_device(tool_.config, com_port)));
    loading_ = false;
}

void SerialDeviceBox::store(const QString& text) {
    if (loading_ || com_port_key(com_port_).empty()) return;
    bind_serial_device(tool_.config, com_port_, text.toStdString());
}

}  // namespace tvx
