#include "ui/input_method_switch.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/input_method_native.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// An input method whose open state the operator may also switch by hand.
struct FakeInputMethod {
    InputMethodSwitch::Platform platform() {
        return {[this](QWidget*) -> std::optional<bool> {
                    if (!present) return std::nullopt;
                    return open;
                },
                [this](QWidget*, bool on) {
                    open = on;
                    ++sets;
                }};
    }
    bool present = true;
    bool open = false;
    int sets = 0;
};

class InputMethodSwitchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        auto* layout = new QHBoxLayout(&window);
        field = new QPlainTextEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
    void focus(QWidget* widget) {
        widget->setFocus();
        QCoreApplication::processEvents();
    }

    QApplication& app = testing::ui_app();  // before the window
    QWidget window;
    QPlainTextEdit* field = nullptr;
    QLineEdit* other = nullptr;
    FakeInputMethod input;
};

TEST_F(InputMethodSwitchTest, OnWhileTheFieldHasTheFocusThenAsItWas) {
    auto* on = new InputMethodSwitch(field, input.platform());
    focus(field);
    EXPECT_TRUE(input.open);
    EXPECT_TRUE(on->switched_on());
    focus(other);
    EXPECT_FALSE(input.open);

    // Found open (the operator's choice): left open, and put back open even if switched off meanwhile.
    input.open = true;
    focus(field);
    input.open = false;
    focus(other);
    EXPECT_TRUE(input.open);

    // Closing the dialog puts it back, once; the focus leaving afterwards changes nothing more.
    input.open = false;
    focus(field);
    on->restore();
    EXPECT_FALSE(input.open);
    const int sets = input.sets;
    focus(other);
    EXPECT_EQ(input.sets, sets);
}

TEST_F(InputMethodSwitchTest, NothingIsSetWhereThereIsNoInputMethodState) {
    input.present = false;
    new InputMethodSwitch(field, input.platform());
    focus(field);
    focus(other);
    EXPECT_EQ(input.sets, 0);
    // This platform's own: no state, and the field keeps input-method input enabled.
    EXPECT_EQ(native_input_method_open(field), std::nullopt);
}

}  // namespace
}  // namespace tvx
