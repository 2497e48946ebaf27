#include "ui/ipv4_address_field.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace tvx {

Ipv4AddressField::Ipv4AddressField(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* box = new QSpinBox(this);
        box->setRange(0, 255);
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
        box->setAlignment(Qt::AlignRight);
        box->setObjectName(QStringLiteral("octet_%1").arg(i));
        connect(box, &QSpinBox::valueChanged, this, &Ipv4AddressField::address_edited);
        layout->addWidget(box);
        octets_[i] = box;
    }
}

HostAddress Ipv4AddressField::address() const {
    HostAddress address{};
    for (std::size_t i = 0; i < octets_.size(); ++i)
        address[i] = static_cast<std::uint8_t>(octets_[i]->value());
    return address;
}

void Ipv4AddressField::set_address(const HostAddress& address) {
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        const QSignalBlocker quiet(octets_[i]);
        octets_[i]->setValue(address[i]);
    }
}

}  // namespace tvx
