// The input method's open state through Windows' input method manager.
#ifdef _WIN32

#include <QWidget>

#include <windows.h>

// After windows.h, whose types it uses.
#include <imm.h>

#include "ui/input_method_native.h"

namespace tvx {
namespace {

// A widget without a window of its own types into its nearest native ancestor's input context.
HWND window_of(QWidget* widget) {
    return widget ? reinterpret_cast<HWND>(widget->effectiveWinId()) : nullptr;
}

}  // namespace

std::optional<bool> native_input_method_open(QWidget* widget) {
    const HWND window = window_of(widget);
    if (!window) return std::nullopt;
    const HIMC context = ::ImmGetContext(window);
    if (!context) return std::nullopt;
    const bool open = ::ImmGetOpenStatus(context) != FALSE;
    ::ImmReleaseContext(window, context);
    return open;
}

void set_native_input_method_open(QWidget* widget, bool open) {
    const HWND window = window_of(widget);
    if (!window) return;
    const HIMC context = ::ImmGetContext(window);
    if (!context) return;
    ::ImmSetOpenStatus(context, open ? TRUE : FALSE);
    ::ImmReleaseContext(window, context);
}

}  // namespace tvx

#endif  // _WIN32
