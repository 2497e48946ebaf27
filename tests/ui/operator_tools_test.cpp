// The communication log window, the RS-485 scan dialog and their menu entries.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "link/comm_log.h"
#include "protocol/serial_framing.h"
#include "support/recording_notices.h"
#include "ui/bus_scan_dialog.h"
#include "ui/comm_log_window.h"
#include "ui_test_app.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

using testing::RecordingNotices;

TEST(CommLogWindowTest, ShowsTheLogAsItGrowsFiltersAndSavesWhatItShows) {
    testing::ui_app();
    CommLog log;
    RecordingNotices notices;
    log.record(TrafficDirection::kSent, "COM1 #03", "03RVN\r\n");
    CommLogWindow window(log, notices);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("通信ログ"));
    EXPECT_FALSE(window.isModal());
    log.record(TrafficDirection::kReceived, "COM1 #03", "03VN1.00\r\n");
    log.record(TrafficDirection::kSent, "COM1 #03", "03RPAS1\r\n");
    EXPECT_EQ(window.shown_text(), QString::fromStdString(log.text()));
    window.grab().save(QStringLiteral("/tmp/tvx230_comm_log.png"));

    window.set_filter(CommLogFilter::kReceived);
    EXPECT_EQ(window.findChild<QComboBox*>("direction")->currentText(), QStringLiteral("受信のみ"));
    EXPECT_EQ(window.shown_text(), QString::fromStdString(log.text(CommLogFilter::kReceived)));
    log.record(TrafficDirection::kSent, "COM1 #03", "03RVN\r\n");  // filtered out as it comes
    log.record(TrafficDirection::kReceived, "COM1 #03", "03E3\r\n");
    EXPECT_EQ(window.shown_text(), QString::fromStdString(log.text(CommLogFilter::kReceived)));

    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ASSERT_TRUE(window.save_to(path.toStdString()));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), window.shown_text());
    EXPECT_FALSE(window.save_to(dir.filePath("missing/log.txt").toStdString()));
    EXPECT_EQ(notices.texts("error").size(), 1u);

    log.clear();
    EXPECT_EQ(window.shown_text(), QString());
}

// Three units on one bus in memory; answers come back on the next scan tick.
class MemoryBus : public CommandLink {
  public:
    explicit MemoryBus(ToolState& tool) : tool_(tool) {
        for (const int address : {3, 7, 31}) {
            auto& unit = units.emplace_back();
            unit.rs485 = true;
            unit.address = address;
            unit.settings().network.version_number = "2.0" + std::to_string(address % 10);
        }
    }
    void send_command(std::string_view line) override {
        const SerialFrame frame = frame_serial_line(line, 1, tool_.model.run.slave_address);
        tool_.link.reply_expected = 1;
        for (VirtualUnit& unit : units) {
            for (std::string& answer : unit.receive(frame.bytes)) pending.push_back(std::move(answer));
        }
    }
    bool tcp_is_connected() const override { return true; }
    void deliver() {
        while (!pending.empty() && handler) {
            handler(pending.front());
            pending.pop_front();
        }
    }

    std::deque<VirtualUnit> units;
    std::deque<std::string> pending;
    std::function<void(const std::string&)> handler;

  private:
    ToolState& tool_;
};

TEST(BusScanDialogTest, ListsTheUnitsThatAnsweredAndChoosingOneSetsTheSlaveAddress) {
    testing::ui_app();
    ToolState tool;
    RecordingNotices notices;
    tool.config.rs_control = 1;
    MemoryBus bus(tool);
    BusScanDialog dialog(tool, bus, notices, [&bus](std::function<void(const std::string&)> handler) {
        bus.handler = std::move(handler);
    });
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("RS-485 スキャン"));
    dialog.start();
    ASSERT_TRUE(bus.handler);
    EXPECT_EQ(tool.model.run.batch_step, 1);
    int ticks = 0;
    while (dialog.sequence().running() && ticks < 2000) {
        dialog.tick();
        bus.deliver();
        ++ticks;
    }
    EXPECT_FALSE(bus.handler);  // the ordinary reply handling is back
    auto* units = dialog.findChild<QListWidget*>("units");
    ASSERT_EQ(units->count(), 3);
    EXPECT_EQ(units->item(1)->text(), QStringLiteral("アドレス 07    バージョン 2.07"));
    EXPECT_EQ(dialog.findChild<QProgressBar*>()->value(), 100);
    units->setCurrentRow(1);
    dialog.grab().save(QStringLiteral("/tmp/tvx230_bus_scan.png"));

    EXPECT_TRUE(dialog.choose(1));
    EXPECT_EQ(tool.model.run.slave_address, 7);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.choose(5));
}

TEST(OperatorToolsMenuTest, EntriesCloseTheInterfaceMenuAndTheLogWindowOpensOnce) {
    testing::ui_app();
    std::vector<std::string_view> interface;
    for (const MenuEntry& entry : menu_entries()) {
        if (entry.menu == "インターフェイス") interface.push_back(entry.caption);
    }
    ASSERT_GE(interface.size(), 2u);
    EXPECT_EQ(interface[interface.size() - 2], "通信ログ");
    EXPECT_EQ(interface.back(), "RS-485 スキャン");

    QTemporaryDir dir;
    const QByteArray saved_home = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    RecordingNotices notices;
    Application::Options options;
    options.lock_path = dir.filePath("instance.lock");
    options.show_window = false;
    {
        Application app(notices, options);
        ASSERT_EQ(app.start(), Application::Start::kRunning);
        MainWindow* window = app.main_window();
        EXPECT_TRUE(window->action(command::kBusScan)->isEnabled());
        window->run_command(command::kCommLog);
        window->run_command(command::kCommLog);
        const auto windows = window->findChildren<CommLogWindow*>();
        ASSERT_EQ(windows.size(), 1);
        EXPECT_TRUE(windows.front()->isVisible());
        auto* log = window->findChild<CommLog*>("comm_log");
        ASSERT_NE(log, nullptr);
        windows.front()->close();
    }
    qputenv("XDG_CONFIG_HOME", saved_home);
}

}  // namespace
}  // namespace tvx
