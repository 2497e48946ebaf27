#pragma once

#include <QFrame>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

#include "config/configuration.h"

class QLineEdit;

namespace tvx {

class OctetEdit;

// An IPv4 address as one box of four octets, shown with three digits each (192.168.001.003). The
// operator types or pastes a dotted address whole: "." moves to the next octet, a third digit moves on
// by itself, Backspace at the start of an octet goes on deleting in the one before. An octet above 255
// is kept as typed and marked, never cut: the field then holds no address, and whoever takes it refuses.
//
// What the field shows is what it holds, and what it holds is what was typed: a click into an octet
// selects its digits, so typing replaces them; a digit typed inside a full octet starts it afresh; and a
// key the field does not take (a letter, a dot where no octet follows, a digit with no room left) beeps,
// flashes the octet red and says why beside it, so nothing is dropped unseen.
class Ipv4AddressField : public QFrame {
    Q_OBJECT
  public:
    explicit Ipv4AddressField(QWidget* parent = nullptr);
    ~Ipv4AddressField() override;

    // The address as typed, octets joined by dots: "10.1.2.3"; an empty octet stays empty, 300 stays 300.
    QString text() const;
    // The address, when every octet holds a number 0 to 255.
    std::optional<HostAddress> address() const;
    void set_address(const HostAddress& address);

    // The first octet that keeps the field from holding an address (empty, or above 255), or -1.
    int invalid_octet() const;
    // Puts the cursor into that octet, its digits selected, so the operator can put it right.
    void focus_invalid_octet();

    QLineEdit* octet(int index) const;

    // Takes a pasted text at the octet index: a whole dotted address fills all four octets, a shorter
    // dotted run fills from that octet on, plain digits go in at the cursor. False (with a beep) for a
    // text that is no part of an address; the field is then unchanged.
    bool paste_text(int index, const QString& text);

    // The octet flashing for a refused key, or -1.
    int flashing_octet() const { return flashing_; }

  Q_SIGNALS:
    void address_edited();
    // A key or a paste at the octet index was not taken.
    void input_refused(int index);

  private:
    friend class OctetEdit;
    void move_to(int index, bool select_all, bool at_end);
    void pad_all();
    void octet_changed();
    void show_marks();
    // The sign for a key or a paste not taken at the octet index.
    void refuse(int index);

    std::array<OctetEdit*, 4> octets_{};
    int moved_on_to_ = -1;  // the octet a third digit has just moved the cursor to
    int flashing_ = -1;
    QTimer flash_timer_;
};

}  // namespace tvx
