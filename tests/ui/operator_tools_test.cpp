// The communication log window, the RS-485 scan dialog and their menu entries.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <set>

#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "link/comm_log.h"
#include "protocol/serial_framing.h"
#include "running_tool.h"
#include "support/recording_notices.h"
#include "ui/bus_scan_dialog.h"
#include "ui/comm_log_window.h"
#include "ui/read_back_dialog.h"
#include "ui_test_app.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

using testing::RecordingNotices;

QList<CommLogWindow*> log_windows() {
    QList<CommLogWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* log = qobject_cast<CommLogWindow*>(widget)) found << log;
    }
    return found;
}

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

    auto* count = window.findChild<QLabel*>("line_count");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text(), QStringLiteral("3 行"));
    window.set_filter(CommLogFilter::kReceived);
    EXPECT_EQ(window.findChild<QComboBox*>("direction")->currentText(), QStringLiteral("受信のみ"));
    // With a filter the counter tells what is shown of how many.
    EXPECT_EQ(count->text(), QStringLiteral("1 行（全 3 行）"));
    EXPECT_EQ(window.shown_text(), QString::fromStdString(log.text(CommLogFilter::kReceived)));
    log.record(TrafficDirection::kSent, "COM1 #03", "03RVN\r\n");  // filtered out as it comes
    log.record(TrafficDirection::kReceived, "COM1 #03", "03E3\r\n");
    EXPECT_EQ(window.shown_text(), QString::fromStdString(log.text(CommLogFilter::kReceived)));
    EXPECT_EQ(count->text(), QStringLiteral("2 行（全 5 行）"));

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

// The search marks every place in what is shown and steps round them; the pause holds the view (the
// search included) while the log goes on, and going on shows all of it.
TEST(CommLogWindowTest, SearchStepsThroughEveryPlaceAndPauseHoldsTheViewWhileTheLogGoesOn) {
    testing::ui_app();
    CommLog log;
    RecordingNotices notices;
    for (int i = 0; i < 30; ++i)
        log.record(TrafficDirection::kSent, "COM1", i % 10 == 3 ? "RPAS1\r\n" : "RVN\r\n");
    CommLogWindow window(log, notices);
    window.show();
    auto* label = window.findChild<QLabel*>("match_count");
    ASSERT_NE(label, nullptr);

    window.set_search(QStringLiteral("rpas"));  // without regard to case
    EXPECT_EQ(window.match_count(), 3);
    EXPECT_EQ(window.current_match(), 3);  // the newest first, where the view stands
    EXPECT_EQ(window.current_match_line(), 23);
    EXPECT_EQ(label->text(), QStringLiteral("3 / 3 件"));
    EXPECT_TRUE(window.find_next());
    EXPECT_EQ(window.current_match_line(), 3);  // round to the first
    EXPECT_TRUE(window.find_previous());
    EXPECT_TRUE(window.find_previous());
    EXPECT_EQ(window.current_match_line(), 13);
    window.grab().save(QStringLiteral("/tmp/tvx230_comm_log_search.png"));

    window.set_paused(true);
    for (int i = 0; i < 4; ++i) log.record(TrafficDirection::kReceived, "COM1", "PAS1\r\n");
    EXPECT_EQ(window.shown_text().count(QLatin1Char('\n')), 30);
    EXPECT_EQ(window.held_back(), 4);
    EXPECT_EQ(log.entries().size(), 34u);
    EXPECT_EQ(window.match_count(), 3);
    EXPECT_EQ(window.current_match_line(), 13);
    window.set_paused(false);
    EXPECT_EQ(window.shown_text(), QString::fromStdString(log.text()));
    EXPECT_EQ(window.held_back(), 0);
    window.set_search(QStringLiteral("PAS1"));
    EXPECT_EQ(window.match_count(), 7);

    window.set_search(QStringLiteral("nothing like it"));
    EXPECT_EQ(window.match_count(), 0);
    EXPECT_FALSE(window.find_next());
    EXPECT_EQ(label->text(), QStringLiteral("見つかりません"));
    window.set_search(QString());
    EXPECT_EQ(label->text(), QString());
}

// The marks follow the text when the oldest lines give way to new ones.
TEST(CommLogWindowTest, MarksStayOnTheirLinesWhenTheOldestGiveWay) {
    testing::ui_app();
    CommLog log(nullptr, 5);
    RecordingNotices notices;
    for (const char* line : {"A\r\n", "B\r\n", "XY\r\n", "C\r\n", "D\r\n"}) {
        log.record(TrafficDirection::kSent, "COM1", line);
    }
    CommLogWindow window(log, notices);
    window.show();
    window.set_search(QStringLiteral("XY"));
    ASSERT_EQ(window.current_match_line(), 2);
    log.record(TrafficDirection::kSent, "COM1", "E\r\n");
    log.record(TrafficDirection::kSent, "COM1", "F\r\n");
    EXPECT_EQ(window.current_match_line(), 0);
    QTest::qWait(300);  // the marks are placed again once the burst is over
    EXPECT_EQ(window.match_count(), 1);
    EXPECT_EQ(window.current_match_line(), 0);
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

TEST(BusScanDialogTest, AScanThatFindsNoUnitSaysSo) {
    testing::ui_app();
    ToolState tool;
    RecordingNotices notices;
    tool.config.rs_control = 1;
    MemoryBus bus(tool);
    bus.units.clear();
    BusScanDialog dialog(tool, bus, notices, [&bus](std::function<void(const std::string&)> handler) {
        bus.handler = std::move(handler);
    });
    dialog.show();
    auto* outcome = dialog.findChild<QLabel*>("outcome");
    ASSERT_NE(outcome, nullptr);
    dialog.start();
    EXPECT_EQ(outcome->text(), QString());
    for (int ticks = 0; dialog.sequence().running() && ticks < 2000; ++ticks) dialog.tick();
    EXPECT_EQ(dialog.findChild<QListWidget*>("units")->count(), 0);
    EXPECT_EQ(outcome->text(), QStringLiteral("応答したユニットはありません。"));
    dialog.grab().save(QStringLiteral("/tmp/tvx230_bus_scan_none.png"));
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

    {
        testing::RunningTool running;
        running.start();
        MainWindow* window = running.window;
        EXPECT_FALSE(window->action(command::kBusScan)->isEnabled());  // RS-232C
        window->run_command(command::kCommLog);
        window->run_command(command::kCommLog);
        const auto windows = log_windows();
        ASSERT_EQ(windows.size(), 1);
        EXPECT_TRUE(windows.front()->isVisible());
        // Not one of the main window's family, so that what holds the main window leaves it usable.
        EXPECT_EQ(windows.front()->parentWidget(), nullptr);
        CommLog* log = &running.app->comm_log();
        ASSERT_NE(log, nullptr);
        windows.front()->close();
    }
    // The log's window goes with the tool.
    EXPECT_TRUE(log_windows().isEmpty());
}

TEST(OperatorToolsMenuTest, TheLogStaysUsableWhileASequenceDialogHoldsTheMainWindow) {
    {
        testing::RunningTool running;
        running.start(true);
        MainWindow* window = running.window;
        CommLog* log = &running.app->comm_log();
        ASSERT_NE(log, nullptr);
        log->record(TrafficDirection::kSent, "COM1", "RCA01\r\n");
        log->record(TrafficDirection::kReceived, "COM1", "GO\r\n");

        // Which windows a modal dialog holds: they are told so by a WindowBlocked event.
        struct BlockedRecorder : QObject {
            std::set<QObject*> blocked;
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::WindowBlocked) blocked.insert(watched);
                if (event->type() == QEvent::WindowUnblocked) blocked.erase(watched);
                return false;
            }
        } recorder;
        window->run_command(command::kCommLog);
        ASSERT_EQ(log_windows().size(), 1);
        CommLogWindow* log_window = log_windows().front();
        log_window->close();
        window->installEventFilter(&recorder);
        log_window->installEventFilter(&recorder);

        bool modal_to_main_window_only = false;
        bool opened_by_key = false;
        bool main_window_held = false;
        bool log_window_held = true;
        std::size_t entries_after_clear = 99;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<UnitSequenceDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            modal_to_main_window_only =
                dialog->windowModality() == Qt::WindowModal && dialog->parentWidget() == window;
            // The menu is out of reach: the key opens the log from the dialog.
            QTest::keyClick(dialog, Qt::Key_L, Qt::ControlModifier);
            opened_by_key = log_window->isVisible();
            QApplication::processEvents();
            main_window_held = recorder.blocked.count(window) == 1;
            log_window_held = recorder.blocked.count(log_window) == 1;
            if (opened_by_key) {
                QPushButton* clear = nullptr;
                for (QPushButton* button : log_window->findChildren<QPushButton*>()) {
                    if (button->text() == QStringLiteral("クリア")) clear = button;
                }
                ASSERT_NE(clear, nullptr);
                QTest::mouseClick(clear, Qt::LeftButton);
                entries_after_clear = log->entries().size();
                log_window->close();
            }
            dialog->reject();
        });
        window->run_command(command::kFullSend);
        EXPECT_TRUE(modal_to_main_window_only);
        EXPECT_TRUE(opened_by_key);
        EXPECT_TRUE(main_window_held);
        EXPECT_FALSE(log_window_held);
        EXPECT_EQ(entries_after_clear, 0u);
        window->removeEventFilter(&recorder);
        log_window->removeEventFilter(&recorder);
    }
}

}  // namespace
}  // namespace tvx
