#include "ui/ipv4_address_field.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <filesystem>

#include <gtest/gtest.h>

#include "config/ini_profile.h"
#include "editors/address_text.h"
#include "editors/editor_unit_link.h"
#include "link/tcp_link.h"
#include "support/recording_notices.h"
#include "ui/network_settings_dialog.h"
#include "ui/tcp_client_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// Keys as the operator presses them: each goes to whichever widget has the focus at that moment.
void type(const char* keys) {
    for (const char* key = keys; *key; ++key) QTest::keyClick(QApplication::focusWidget(), *key);
}
void press(Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key);
}
void paste(const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
}

// Shows the window and puts the cursor into the field's first octet as a Tab would (its digits selected).
void enter_field(QWidget* window, Ipv4AddressField* field) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    field->octet(0)->setFocus(Qt::TabFocusReason);
    field->octet(0)->selectAll();
    ASSERT_EQ(QApplication::focusWidget(), field->octet(0));
}

bool marked(const Ipv4AddressField* field, int index) {
    return !field->octet(index)->toolTip().isEmpty();
}

class AddressFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        auto* layout = new QHBoxLayout(&window);
        field = new Ipv4AddressField(&window);
        other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        field->set_address({192, 168, 1, 3});
    }

    QApplication& app = testing::ui_app();  // before the window
    QWidget window;
    Ipv4AddressField* field = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(AddressFieldTest, ShowsThreeDigitsAndTakesATypedAddressKeyByKey) {
    EXPECT_EQ(field->text(), "192.168.001.003");
    enter_field(&window, field);
    type("10.1.2.3");
    EXPECT_EQ(field->text(), "10.1.2.3");
    EXPECT_EQ(field->address(), (HostAddress{10, 1, 2, 3}));
    // Leaving the field shows every octet with three digits.
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(field->text(), "010.001.002.003");

    // A third digit moves on by itself; a dot in an empty octet does not.
    enter_field(&window, field);
    type("172016.5.9");
    EXPECT_EQ(field->text(), "172.016.5.9");
    enter_field(&window, field);
    type("192.168.001.003");  // the dot after three digits is not a second move
    EXPECT_EQ(field->text(), "192.168.001.003");
    field->octet(2)->clear();
    field->octet(2)->setFocus();
    type(".");
    EXPECT_EQ(QApplication::focusWidget(), field->octet(2));
    EXPECT_EQ(field->address(), std::nullopt);
    EXPECT_EQ(field->invalid_octet(), 2);
}

TEST_F(AddressFieldTest, AnOctetAbove255IsKeptAndMarkedNeverCut) {
    enter_field(&window, field);
    type("300");
    EXPECT_EQ(field->octet(0)->text(), "300");
    EXPECT_EQ(QApplication::focusWidget(), field->octet(0));  // it does not move on past a refused octet
    EXPECT_TRUE(marked(field, 0));
    EXPECT_EQ(field->address(), std::nullopt);
    EXPECT_EQ(field->invalid_octet(), 0);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(field->text(), "300.168.001.003");  // shown as typed, not padded or cut

    field->focus_invalid_octet();
    EXPECT_EQ(QApplication::focusWidget(), field->octet(0));
    EXPECT_EQ(field->octet(0)->selectedText(), "300");
    type("30");
    EXPECT_FALSE(marked(field, 0));
    EXPECT_EQ(field->address(), (HostAddress{30, 168, 1, 3}));
}

// A key the field does not take is never dropped unseen: it beeps, flashes its octet and says why beside
// it, and the field keeps what it showed. A digit typed inside a full octet starts it afresh instead.
TEST_F(AddressFieldTest, ARefusedKeyIsShownAndADigitInsideAFullOctetStartsItAfresh) {
    std::vector<int> refused;
    QObject::connect(field, &Ipv4AddressField::input_refused,
                     [&refused](int index) { refused.push_back(index); });
    enter_field(&window, field);
    type("10.1.2.3");
    struct Case {
        const char* what;
        int octet;
        int cursor;  // -1: the octet's digits selected
        const char* keys;
    };
    const Case cases[] = {
        {"letter", 0, 1, "x"},
        {"space", 1, 0, " "},
        {"dot in an empty octet", 2, 0, "."},
        {"dot after the last octet", 3, 1, "."},
        {"no room after the last octet", 3, 3, "4"},
    };
    field->octet(2)->clear();
    field->octet(3)->setText(QStringLiteral("123"));
    for (const Case& c : cases) {
        refused.clear();
        const QString before = field->text();
        field->octet(c.octet)->setFocus();
        field->octet(c.octet)->setCursorPosition(c.cursor);
        type(c.keys);
        EXPECT_EQ(field->text(), before) << c.what;
        EXPECT_EQ(refused, std::vector<int>{c.octet}) << c.what;
        EXPECT_EQ(field->flashing_octet(), c.octet) << c.what;
        EXPECT_EQ(QApplication::focusWidget(), field->octet(c.octet)) << c.what;
    }
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("0から255までの数字を入力してください"));
    // The flash goes; the octet's colour is its own again.
    EXPECT_TRUE(QTest::qWaitFor([this] { return field->flashing_octet() == -1; }, 3000));
    EXPECT_FALSE(marked(field, 3));

    // A refused paste shows the same.
    refused.clear();
    field->octet(1)->setFocus();
    paste(QStringLiteral("1.x"));
    EXPECT_EQ(refused, std::vector<int>{1});

    // Inside a full octet (the cursor put there by the arrows), a digit replaces its digits.
    refused.clear();
    field->set_address({10, 168, 1, 3});
    field->octet(1)->setFocus();
    field->octet(1)->setCursorPosition(1);
    type("7");
    EXPECT_EQ(field->octet(1)->text(), "7");
    type("2.9");
    EXPECT_EQ(field->address(), (HostAddress{10, 72, 9, 3}));
    EXPECT_TRUE(refused.empty());
}

// A click into an octet selects its digits, wherever it lands, so what is typed next replaces them.
TEST_F(AddressFieldTest, AClickIntoAnOctetSelectsIt) {
    enter_field(&window, field);
    other->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 4; ++i) {
        QLineEdit* octet = field->octet(i);
        QTest::mouseClick(octet, Qt::LeftButton, {}, QPoint(octet->width() / 2, octet->height() / 2));
        EXPECT_EQ(QApplication::focusWidget(), octet) << i;
        EXPECT_EQ(octet->selectedText(), octet->text()) << i;
    }
    // Clicked again when it has the focus already, the same.
    QLineEdit* first = field->octet(0);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(first->width() / 2, first->height() / 2));
    type("192.168.1.1");
    EXPECT_EQ(field->address(), (HostAddress{192, 168, 1, 1}));
}

TEST_F(AddressFieldTest, BackspaceGoesOnAcrossOctets) {
    enter_field(&window, field);
    type("10.1.2.3");
    press(Qt::Key_Backspace, 2);  // "3", then on into the third octet: "2"
    EXPECT_EQ(field->text(), "10.1..");
    EXPECT_EQ(QApplication::focusWidget(), field->octet(2));
    press(Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "10...");
    EXPECT_EQ(QApplication::focusWidget(), field->octet(1));
    type("4.5.6");
    EXPECT_EQ(field->address(), (HostAddress{10, 4, 5, 6}));
    // Tab leaves the field as one stop.
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(field->text(), "010.004.005.006");
    field->octet(3)->setFocus();
    field->octet(3)->home(false);
    // Left and Right cross octets too.
    press(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), field->octet(2));
    press(Qt::Key_Right, 2);
    EXPECT_EQ(QApplication::focusWidget(), field->octet(3));
}

TEST_F(AddressFieldTest, APastedAddressIsTakenWhole) {
    enter_field(&window, field);
    field->octet(2)->setFocus();
    paste(QStringLiteral(" 127.0.0.1\n"));  // a whole address fills all four, wherever the cursor is
    EXPECT_EQ(field->address(), (HostAddress{127, 0, 0, 1}));
    EXPECT_EQ(QApplication::focusWidget(), field->octet(3));

    field->octet(2)->setFocus();
    paste(QStringLiteral("8.9"));  // part of one fills from the cursor's octet on
    EXPECT_EQ(field->address(), (HostAddress{127, 0, 8, 9}));

    for (const char* refused : {"1.2.3.4.5", "1.x.3.4", "1234.1.1.1", "7.8.9"}) {
        field->octet(2)->setFocus();
        paste(QString::fromLatin1(refused));
        EXPECT_EQ(field->address(), (HostAddress{127, 0, 8, 9})) << refused;
    }
    // The context menu's paste does the same.
    QApplication::clipboard()->setText(QStringLiteral("10.20.30.40"));
    QContextMenuEvent menu_event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 field->octet(1)->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(field->octet(1), &menu_event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste_action = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste"))) paste_action = action;
    }
    ASSERT_NE(paste_action, nullptr);
    paste_action->trigger();
    menu->close();
    EXPECT_EQ(field->address(), (HostAddress{10, 20, 30, 40}));

    field->octet(0)->setFocus();
    field->octet(0)->selectAll();
    paste(QStringLiteral("300.1.1.1"));  // taken, and marked like a typed one
    EXPECT_EQ(field->text(), "300.1.1.1");
    EXPECT_TRUE(marked(field, 0));
}

class AddressDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        tool.config.select_number = -1;
        tool.config.ini_path = std::filesystem::path(dir.path().toStdString()) / "tvx230.ini";
    }

    QTemporaryDir dir;
    ToolState tool;
    testing::RecordingNotices notices;
    testing::EditorUnitLink unit_link{tool, notices};
};

TEST_F(AddressDialogsTest, TheUnitReceivesTheAddressAsTypedAndNeverARefusedOne) {
    tool.model.network.ip_address = {192, 168, 1, 3};
    NetworkSettingsDialog dialog(tool, unit_link, notices, "", nullptr);
    Ipv4AddressField* ip = dialog.address_field(AddressCommand::EIA);
    // The dialog opens with the cursor in the first octet, ready to take a typed address.
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), ip->octet(0));
    type("10.1.2.3");
    dialog.address_button(AddressCommand::EIA)->click();
    ASSERT_EQ(unit_link.lines.size(), 1u);
    EXPECT_EQ(unit_link.lines.back(), "EIA010.001.002.003\r\n");
    EXPECT_EQ(unit_link.unit.settings().network.ip_address, (IPv4Octets{10, 1, 2, 3}));
    EXPECT_EQ(ip->text(), "010.001.002.003");

    Ipv4AddressField* gateway = dialog.address_field(AddressCommand::EGA);
    enter_field(&dialog, gateway);
    type("10.0.0.300");
    dialog.address_button(AddressCommand::EGA)->click();
    EXPECT_EQ(unit_link.lines.size(), 1u);
    EXPECT_EQ(tool.model.network.gateway_address, ToolState{}.model.network.gateway_address);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kAddressRefused)});
    EXPECT_EQ(gateway->text(), "10.0.0.300");
    EXPECT_EQ(QApplication::focusWidget(), gateway->octet(3));
    dialog.grab().save(QStringLiteral("/tmp/h-addr-title-network-refused.png"));
    type("254");
    dialog.address_button(AddressCommand::EGA)->click();
    EXPECT_EQ(unit_link.lines.back(), "EGA010.000.000.254\r\n");
}

// The operator's way in: a click into the first octet (showing 000), the address typed, Tab, then the
// set button. What the unit receives and what the INI holds is the address typed, and the field shows it.
void click_type_and_tab(Ipv4AddressField* field, const char* address) {
    QLineEdit* first = field->octet(0);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(first->width() / 2, first->height() / 2));
    type(address);
    press(Qt::Key_Tab);
}

TEST_F(AddressDialogsTest, AClickedThenTypedAddressIsTheOneSentAndStored) {
    NetworkSettingsDialog network(tool, unit_link, notices, "", nullptr);
    network.show();
    network.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&network));
    // The first field has the focus as the dialog opens; the third is clicked into from outside.
    for (AddressCommand command : {AddressCommand::EIA, AddressCommand::EAA}) {
        click_type_and_tab(network.address_field(command), "192.168.1.1");
        network.address_button(command)->click();
    }
    EXPECT_EQ(unit_link.lines,
              (std::vector<std::string>{"EIA192.168.001.001\r\n", "EAA192.168.001.001\r\n"}));
    EXPECT_EQ(unit_link.unit.settings().network.active_address, (IPv4Octets{192, 168, 1, 1}));
    EXPECT_EQ(network.address_field(AddressCommand::EAA)->text(), "192.168.001.001");
    network.hide();

    TcpLink link(tool, notices);
    TcpClientDialog client(tool, notices, link, nullptr);
    client.show();
    client.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&client));
    click_type_and_tab(client.address_field(), "192.168.1.1");
    client.add_button()->click();
    ASSERT_EQ(client.host_list()->count(), 1);
    EXPECT_EQ(client.host_list()->item(0)->text(), "192 .168 .001 .001");
    EXPECT_EQ(client.address_field()->text(), "192.168.001.001");
    for (const auto& [key, octet] :
         {std::pair{"ip00_0", "192"}, {"ip00_1", "168"}, {"ip00_2", "1"}, {"ip00_3", "1"}}) {
        EXPECT_EQ(read_profile_string(tool.config.ini_path, kIniSection, key, "missing", 10), octet) << key;
    }
    EXPECT_TRUE(notices.texts("error").empty());
}

TEST_F(AddressDialogsTest, TheClientDialogAddsAPastedHostAndRefusesAnOctetAbove255) {
    TcpLink link(tool, notices);
    TcpClientDialog dialog(tool, notices, link, nullptr);
    enter_field(&dialog, dialog.address_field());
    paste(QStringLiteral("127.0.0.1"));
    dialog.add_button()->click();
    ASSERT_EQ(dialog.host_list()->count(), 1);
    EXPECT_EQ(dialog.host_list()->item(0)->text(), "127 .000 .000 .001");
    auto key = [this](const char* name) {
        return read_profile_string(tool.config.ini_path, kIniSection, name, "missing", 10);
    };
    EXPECT_EQ(key("list_count"), "1");

    enter_field(&dialog, dialog.address_field());
    type("192.168.1.300");
    dialog.add_button()->click();
    EXPECT_EQ(dialog.host_list()->count(), 1);
    EXPECT_EQ(tool.config.list_count, 1);
    EXPECT_EQ(key("list_count"), "1");
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kAddressRefused)});
    dialog.grab().save(QStringLiteral("/tmp/h-addr-title-client-refused.png"));
}

}  // namespace
}  // namespace tvx
