#pragma once

#include <QWidget>
#include <array>

#include "config/configuration.h"

class QSpinBox;

namespace tvx {

// An IPv4 address as four octet fields 0 to 255, so that it can never hold an invalid address.
class Ipv4AddressField : public QWidget {
    Q_OBJECT
  public:
    explicit Ipv4AddressField(QWidget* parent = nullptr);

    HostAddress address() const;
    void set_address(const HostAddress& address);
    QSpinBox* octet(int index) const { return octets_.at(static_cast<std::size_t>(index)); }

  Q_SIGNALS:
    void address_edited();

  private:
    std::array<QSpinBox*, 4> octets_{};
};

}  // namespace tvx
