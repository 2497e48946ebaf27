#pragma once

#include <QObject>
#include <functional>
#include <optional>

class QWidget;

namespace tvx {

// Switches the input method on while a field has the focus and puts back the open state it found
// there when the focus leaves (or when restore() is called, as the field's dialog closes).
class InputMethodSwitch : public QObject {
  public:
    // How the open state is read and set: the platform's by default; tests give their own.
    struct Platform {
        std::function<std::optional<bool>(QWidget*)> read_open;
        std::function<void(QWidget*, bool)> set_open;
    };
    static Platform native();

    InputMethodSwitch(QWidget* field, Platform platform = native());

    // Puts back the state the input method had before the field switched it on.
    void restore();
    bool switched_on() const { return previous_.has_value(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void switch_on();

    QWidget* field_;
    Platform platform_;
    std::optional<bool> previous_;  // the state found when the field took the focus
};

}  // namespace tvx
