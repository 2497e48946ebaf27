// The title field's input method switching in a real Windows window (Wine's "windows" platform on a
// display): the system's input method is switched on while the field has the focus, put back as it was
// when the focus leaves, and put back when the dialog closes. The offscreen platform of the other widget
// tests has no window handles, so the input method manager cannot be reached there.
//
//   input_method_window.exe   (prints what it checked; exit status 0 when everything held)
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>

#include "ui/input_method_native.h"
#include "ui/input_method_switch.h"

namespace {

int failures = 0;

void check(bool held, const char* what) {
    std::printf("%s: %s\n", held ? "held" : "FAILED", what);
    if (!held) ++failures;
}

void focus(QWidget* widget) {
    widget->activateWindow();
    widget->setFocus();
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Wine passes no QT_* variable on, so the platform is named here.
    static char platform[] = "-platform";
    static char windows[] = "windows";
    char* arguments[] = {argv[0], platform, windows, nullptr};
    int count = 3;
    (void)argc;
    QApplication app(count, arguments);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* field = new QPlainTextEdit(&window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(field);
    layout->addWidget(other);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::printf("SKIPPED: no window could be shown (no display)\n");
        return 0;
    }
    focus(other);
    const std::optional<bool> before = tvx::native_input_method_open(field);
    if (!before) {
        std::printf("SKIPPED: this system has no input method state for the window\n");
        return 0;
    }
    tvx::set_native_input_method_open(field, false);
    auto* on = new tvx::InputMethodSwitch(field);
    focus(field);
    check(tvx::native_input_method_open(field) == true, "on while the title field has the focus");
    focus(other);
    check(tvx::native_input_method_open(other) == false, "off again when the focus leaves");
    focus(field);
    on->restore();
    check(tvx::native_input_method_open(field) == false, "put back as it was when the dialog closes");
    return failures == 0 ? 0 : 1;
}
