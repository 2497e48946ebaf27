#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "config/ini_profile.h"
#include "support/recording_notices.h"
#include "ui/connection_choice_dialog.h"
#include "ui/ipv4_address_field.h"
#include "ui/tcp_client_dialog.h"
#include "ui/tcp_server_dialog.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::button_texts;
using testing::group_titles;
using testing::items_of;

void double_click(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    emit list->itemDoubleClicked(item);
}

void double_click(QTableWidget* table, int row) {
    emit table->cellDoubleClicked(row, 0);
}

// One column of the client list, top to bottom.
QStringList column_of(const QTableWidget* table, int column) {
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) texts << table->item(row, column)->text();
    return texts;
}

QList<int> highlighted_rows(const QTableWidget* table) {
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

struct FakeConnection : TcpSender {
    void tcp_send(std::string_view) override {}
    bool tcp_connected() const override { return connected; }
    bool connected = false;
};

class ConnectionDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        tool.config.ini_path = std::filesystem::path(dir.path().toStdString()) / "tvx230.ini";
        tool.model.run.hidden_entry_count = 5;
    }
    std::string key(std::string_view name) const {
        return read_profile_string(tool.config.ini_path, kIniSection, name, "missing", 10);
    }

    QTemporaryDir dir;
    ToolState tool;
    testing::RecordingNotices notices;
    FakeConnection connection;
};

TEST_F(ConnectionDialogsTest, InterfaceDialogPicksAndWritesTheInterfaceUnlessConnected) {
    tool.config.link_interface = 1;
    std::unique_ptr<ConnectionChoiceDialog> dialog(make_interface_dialog(tool, connection, nullptr));
    EXPECT_EQ(dialog->windowTitle(), "インターフェイスの設定");
    EXPECT_EQ(group_titles(dialog.get()), (QStringList{"Interface", "送信ペース"}));
    EXPECT_EQ(items_of(dialog->list(0)), (QStringList{"RS-232C/485", "TCP/IP"}));
    EXPECT_EQ(items_of(dialog->list(1)), (QStringList{"標準", "高速"}));
    EXPECT_EQ(dialog->list(1)->currentRow(), 0);
    EXPECT_EQ(dialog->list(0)->currentRow(), 1);
    EXPECT_EQ(dialog->set_button()->text(), "設定");
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);

    dialog->list(0)->setCurrentRow(0);
    EXPECT_EQ(tool.config.link_interface, 0);
    EXPECT_EQ(key("Interface"), "0");
    dialog->set_button()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    // The pace is the tool's own key; it may change while connected, for the next sequence.
    connection.connected = true;
    std::unique_ptr<ConnectionChoiceDialog> frozen(make_interface_dialog(tool, connection, nullptr));
    EXPECT_FALSE(frozen->list(0)->isEnabled());
    ASSERT_TRUE(frozen->list(1)->isEnabled());
    frozen->list(1)->setCurrentRow(1);
    EXPECT_EQ(tool.config.pace, 1);
    EXPECT_EQ(key("pace"), "1");
    Configuration loaded;
    std::string port;
    NetworkSettings network;
    load_configuration(loaded, network.port_number, tool.config.ini_path);
    EXPECT_EQ(loaded.pace, 1);
}

TEST_F(ConnectionDialogsTest, SerialDialogHasThePortAndLineTypeLists) {
    tool.config.com_port = 2;
    tool.config.rs_control = 1;
    std::unique_ptr<ConnectionChoiceDialog> dialog(make_serial_settings_dialog(tool, nullptr));
    EXPECT_EQ(dialog->windowTitle(), "シリアル通信の設定");
    EXPECT_EQ(group_titles(dialog.get()), (QStringList{"コム ポート", "コントロール"}));
    EXPECT_EQ(items_of(dialog->list(0)), (QStringList{"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6"}));
    EXPECT_EQ(items_of(dialog->list(1)), (QStringList{"RS-232C", "RS-485"}));
    EXPECT_EQ(dialog->list(0)->currentRow(), 2);
    EXPECT_EQ(dialog->list(1)->currentRow(), 1);
    EXPECT_EQ(key("com_port"), "missing");  // opening writes nothing

    dialog->list(0)->setCurrentRow(4);
    dialog->list(1)->setCurrentRow(0);
    EXPECT_EQ(key("com_port"), "4");
    EXPECT_EQ(key("rs_control"), "0");
}

TEST_F(ConnectionDialogsTest, ClientServerDialogIsFrozenWhileConnected) {
    std::unique_ptr<ConnectionChoiceDialog> dialog(make_client_server_dialog(tool, connection, nullptr));
    EXPECT_EQ(dialog->windowTitle(), "クライアント/サーバー");
    EXPECT_EQ(group_titles(dialog.get()), QStringList{"選択"});
    EXPECT_EQ(items_of(dialog->list(0)), (QStringList{"Client", "Server"}));
    EXPECT_TRUE(dialog->list(0)->isEnabled());
    dialog->list(0)->setCurrentRow(1);
    EXPECT_EQ(key("ClientServer"), "1");

    connection.connected = true;
    std::unique_ptr<ConnectionChoiceDialog> frozen(make_client_server_dialog(tool, connection, nullptr));
    EXPECT_FALSE(frozen->list(0)->isEnabled());
    EXPECT_EQ(frozen->list(0)->currentRow(), -1);
}

class TcpDialogsTest : public ConnectionDialogsTest {
  protected:
    void SetUp() override {
        ConnectionDialogsTest::SetUp();
        tool.config.link_interface = 1;
        link = std::make_unique<TcpLink>(tool, notices);
    }
    void TearDown() override { link.reset(); }
    std::unique_ptr<TcpLink> link;
};

TEST_F(TcpDialogsTest, ClientDialogKeepsTheHostListAndConnects) {
    tool.config.list_count = 2;
    tool.config.host_list[0] = {192, 168, 1, 2};
    tool.config.host_list[1] = {127, 0, 0, 1};
    tool.config.select_number = 0;
    TcpClientDialog dialog(tool, notices, *link, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "TCP/IPの設定(Client)");
    EXPECT_EQ(items_of(dialog.host_list()), (QStringList{"192 .168 .001 .002", "127 .000 .000 .001"}));
    EXPECT_EQ(dialog.address_field()->address(), (HostAddress{192, 168, 1, 2}));
    EXPECT_EQ(dialog.port_field()->text(), "09004");
    EXPECT_EQ(dialog.port_field()->maxLength(), 5);
    EXPECT_EQ(button_texts(&dialog), (QStringList{"追加", "削除", "設定", "接続", "切断"}));
    EXPECT_TRUE(dialog.connect_button()->isEnabled());
    EXPECT_FALSE(dialog.disconnect_button()->isEnabled());
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);

    dialog.address_field()->set_address({192, 168, 1, 9});
    dialog.add_button()->click();
    EXPECT_EQ(dialog.host_list()->count(), 3);
    EXPECT_EQ(dialog.host_list()->item(2)->text(), "192 .168 .001 .009");
    EXPECT_EQ(key("list_count"), "3");

    dialog.host_list()->clearSelection();
    dialog.delete_button()->click();  // nothing selected
    EXPECT_EQ(dialog.host_list()->count(), 3);

    double_click(dialog.host_list(), 1);
    EXPECT_EQ(tool.config.select_number, 1);
    EXPECT_EQ(dialog.address_field()->address(), (HostAddress{127, 0, 0, 1}));

    QTcpServer unit;
    ASSERT_TRUE(unit.listen(QHostAddress::LocalHost, 0));
    dialog.port_field()->clear();
    QTest::keyClicks(dialog.port_field(), QString::number(unit.serverPort()));
    EXPECT_EQ(tool.model.network.port_number, std::to_string(unit.serverPort()));
    dialog.connect_button()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return link->tcp_connected(); }));
    EXPECT_FALSE(dialog.connect_button()->isEnabled());
    EXPECT_TRUE(dialog.disconnect_button()->isEnabled());

    dialog.disconnect_button()->click();
    EXPECT_TRUE(dialog.connect_button()->isEnabled());
    EXPECT_FALSE(dialog.disconnect_button()->isEnabled());
    EXPECT_EQ(notices.texts("success"), (std::vector<std::string>{"Socket 接続 OK", "Socket 切断 OK"}));

    dialog.host_list()->setCurrentRow(0);
    dialog.delete_button()->click();
    EXPECT_EQ(dialog.host_list()->count(), 2);
    EXPECT_EQ(tool.config.select_number, 0);  // moved down with its host

    dialog.set_button()->click();
    EXPECT_EQ(key("p_port_number"), std::to_string(unit.serverPort()));
}

TEST_F(TcpDialogsTest, EnterInTheClientDialogAddsNoHost) {
    tool.config.list_count = 1;
    tool.config.host_list[0] = {192, 168, 1, 2};
    tool.config.select_number = 0;
    TcpClientDialog dialog(tool, notices, *link, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // Enter typed after a port number, or in the address field showing the chosen host, is no "追加".
    dialog.port_field()->setFocus();
    QTest::keyClicks(dialog.port_field(), QStringLiteral("9005"));
    QTest::keyClick(dialog.port_field(), Qt::Key_Return);
    dialog.address_field()->octet(3)->setFocus();
    QTest::keyClick(dialog.address_field()->octet(3), Qt::Key_Enter);
    EXPECT_EQ(dialog.host_list()->count(), 1);
    EXPECT_EQ(tool.config.list_count, 1);
    EXPECT_EQ(key("list_count"), "missing");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(link->tcp_connected());
}

TEST_F(TcpDialogsTest, ServerDialogShowsUnitsAsTheyComeAndGo) {
    tool.config.client_server = 1;
    tool.config.select_number = -1;
    const auto port = [] {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }();
    tool.model.network.port_number = std::to_string(port);

    TcpServerDialog dialog(tool, *link, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "TCP/IPの設定(Server)");
    EXPECT_EQ(button_texts(&dialog), (QStringList{"全台を選択", "接続", "切断", "Close"}));
    EXPECT_TRUE(dialog.transmission_place()->isReadOnly());
    EXPECT_EQ(dialog.port_field()->text(), QString::number(port));
    EXPECT_EQ(dialog.port_field()->maxLength(), 5);
    EXPECT_TRUE(dialog.connect_button()->isEnabled());
    EXPECT_FALSE(dialog.disconnect_button()->isEnabled());

    dialog.connect_button()->click();
    EXPECT_FALSE(dialog.connect_button()->isEnabled());
    EXPECT_TRUE(dialog.disconnect_button()->isEnabled());
    EXPECT_FALSE(dialog.port_field()->isEnabled());

    QTcpSocket first;
    QTcpSocket second;
    first.connectToHost(QHostAddress::LocalHost, port);
    second.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.client_list()->rowCount() == 2; }));
    EXPECT_EQ(column_of(dialog.client_list(), 0), (QStringList{"1", "2"}));
    EXPECT_EQ(column_of(dialog.client_list(), 1), (QStringList{"127.0.0.1", "127.0.0.1"}));
    EXPECT_EQ(column_of(dialog.client_list(), 2),
              (QStringList{QString::number(first.localPort()), QString::number(second.localPort())}));
    EXPECT_EQ(dialog.connected_count()->text(), "2 台接続");

    double_click(dialog.client_list(), 1);
    EXPECT_EQ(tool.config.select_number, 2);
    EXPECT_TRUE(link->tcp_connected());
    EXPECT_EQ(dialog.transmission_place()->text(), QStringLiteral("127.0.0.1:%1").arg(second.localPort()));
    EXPECT_EQ(highlighted_rows(dialog.client_list()), QList<int>{1});

    // A third unit rebuilds the list; the chosen one stays highlighted.
    QTcpSocket third;
    third.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.client_list()->rowCount() == 3; }));
    EXPECT_EQ(highlighted_rows(dialog.client_list()), QList<int>{1});

    // Several rows selected at once are chosen together; "全台を選択" chooses every unit.
    dialog.client_list()->selectRow(0);
    dialog.client_list()->selectionModel()->select(dialog.client_list()->model()->index(2, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(link->chosen_clients(), (std::vector<int>{1, 3}));
    dialog.choose_all_button()->click();
    EXPECT_EQ(link->chosen_clients(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(highlighted_rows(dialog.client_list()), (QList<int>{0, 1, 2}));
    third.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.client_list()->rowCount() == 2; }));
    double_click(dialog.client_list(), 1);

    second.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.client_list()->rowCount() == 1; }));
    EXPECT_TRUE(dialog.transmission_place()->text().isEmpty());
    EXPECT_EQ(dialog.connected_count()->text(), "1 台接続");

    dialog.disconnect_button()->click();
    EXPECT_EQ(dialog.client_list()->rowCount(), 0);
    EXPECT_TRUE(dialog.connect_button()->isEnabled());
    EXPECT_FALSE(link->tcp_connected());
    EXPECT_EQ(tool.config.select_number, -1);

    dialog.close_button()->click();
    EXPECT_EQ(key("p_port_number"), std::to_string(port));
}

}  // namespace
}  // namespace tvx
