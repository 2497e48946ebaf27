#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "config/ini_profile.h"
#include "link/tcp_link.h"
#include "running_tool.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// The connection dialogs as the operator reaches them: through their menu ids in the running tool.
class ConnectionMenuTest : public testing::RunningToolTest {
  protected:
    void SetUp() override {
        RunningToolTest::SetUp();
        link = window->findChild<TcpLink*>();
        ASSERT_NE(link, nullptr);
    }

    std::string key(std::string_view name) const {
        return read_profile_string(options.ini_path, kIniSection, name, "missing", 10);
    }

    TcpLink* link = nullptr;
};

TEST_F(ConnectionMenuTest, EachMenuIdOpensItsDialog) {
    app->tool().model.run.hidden_entry_count = 3;
    EXPECT_EQ(open(command::kInterface), "インターフェイスの設定");
    EXPECT_EQ(app->tool().model.run.hidden_entry_count, 0);
    EXPECT_EQ(open(command::kSerialSettings,
                   [](QDialog* dialog) { EXPECT_EQ(dialog->findChildren<QGroupBox*>().size(), 2); }),
              "シリアル通信の設定");
    EXPECT_EQ(open(command::kClientServer), "クライアント/サーバー");
    EXPECT_EQ(open(command::kTcpSettings), "TCP/IPの設定(Client)");
    app->tool().config.client_server = 1;
    EXPECT_EQ(open(command::kTcpSettings), "TCP/IPの設定(Server)");
}

TEST_F(ConnectionMenuTest, TcpEntriesAreAvailableOnTheTcpInterface) {
    app->tool().config.link_interface = 1;
    window->refresh_menu_state();
    EXPECT_TRUE(window->action(command::kInterface)->isEnabled());
    EXPECT_TRUE(window->action(command::kClientServer)->isEnabled());
    EXPECT_TRUE(window->action(command::kTcpSettings)->isEnabled());
    EXPECT_FALSE(window->action(command::kSerialSettings)->isEnabled());

    app->tool().config.link_interface = 0;
    window->refresh_menu_state();
    EXPECT_TRUE(window->action(command::kSerialSettings)->isEnabled());
    EXPECT_FALSE(window->action(command::kTcpSettings)->isEnabled());
}

TEST_F(ConnectionMenuTest, CaptionFollowsTheRoleChosenInTheClientServerDialog) {
    app->tool().config.link_interface = 1;
    EXPECT_EQ(window->windowTitle(), "TVX-230 Client Program");
    open(command::kClientServer, [](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        list->setCurrentRow(1);
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == "設定") button->click();
        }
    });
    EXPECT_EQ(window->windowTitle(), "TVX-230 Server Program");
    EXPECT_EQ(key("ClientServer"), "1");
}

TEST_F(ConnectionMenuTest, SendCommandAndExitReachTheTcpLink) {
    app->tool().config.link_interface = 1;
    EXPECT_FALSE(app->dispatch().tcp_is_connected());
    link->set_tcp_connected(1);
    EXPECT_TRUE(app->dispatch().tcp_is_connected());
    // Marked connected but no socket: the link itself refuses the send.
    app->dispatch().send_command("CFS05M\r\n");
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Socket 送信"});

    window->close();
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"TCP/IPを切断してください。"});
    link->set_tcp_connected(0);
}

}  // namespace
}  // namespace tvx
