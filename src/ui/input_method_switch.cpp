#include "ui/input_method_switch.h"

#include <QEvent>
#include <QWidget>
#include <utility>

#include "ui/input_method_native.h"

namespace tvx {

InputMethodSwitch::Platform InputMethodSwitch::native() {
    return {native_input_method_open, set_native_input_method_open};
}

InputMethodSwitch::InputMethodSwitch(QWidget* field, Platform platform)
    : QObject(field), field_(field), platform_(std::move(platform)) {
    field_->installEventFilter(this);
}

bool InputMethodSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::FocusIn) {
        // After the focus change is complete, when the field's window has taken its input context.
        QMetaObject::invokeMethod(this, &InputMethodSwitch::switch_on, Qt::QueuedConnection);
    } else if (watched == field_ && event->type() == QEvent::FocusOut) {
        restore();
    }
    return QObject::eventFilter(watched, event);
}

void InputMethodSwitch::switch_on() {
    // Already on (the state found first is the one to put back), or the focus has moved on meanwhile.
    if (previous_ || !field_->hasFocus()) return;
    previous_ = platform_.read_open(field_);
    if (previous_) platform_.set_open(field_, true);
}

void InputMethodSwitch::restore() {
    const std::optional<bool> previous = std::exchange(previous_, std::nullopt);
    if (previous) platform_.set_open(field_, *previous);
}

}  // namespace tvx
