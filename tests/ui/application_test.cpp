#include "app/application.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/instance_lock.h"
#include "app/main_window.h"
#include "link/comm_log.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"
#include "ui/clock_status_bar.h"
#include "ui_test_app.h"
#include "unit/unit_event_loop.h"
#include "unit/unit_serial_host.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::RecordingNotices;

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        ASSERT_TRUE(dir.isValid());
        saved_config_home = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        options.lock_path = dir.filePath("instance.lock");
        options.show_window = false;
#ifdef _WIN32
        // Windows keeps the file in the user's local application data, which no XDG folder moves.
        options.ini_path = dir.filePath("config/tvx230/tvx230.ini").toStdWString();
#endif
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", saved_config_home);
    }

    void write_ini(const QByteArray& lines) {
        QDir().mkpath(dir.filePath("config/tvx230"));
        QFile file(dir.filePath("config/tvx230/tvx230.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[TVX-230_Section]\r\n" + lines);
    }

    QTemporaryDir dir;
    QByteArray saved_config_home;
    Application::Options options;
    RecordingNotices notices;
};

TEST_F(ApplicationTest, ServerOnTcpStartsWithoutTheSerialPort) {
    write_ini("Interface=1\r\nClientServer=1\r\n");
    Application app(notices, options);
    ASSERT_EQ(app.start(), Application::Start::kRunning);
    EXPECT_EQ(app.main_window()->windowTitle(), "TVX-230 Server Program");
    EXPECT_FALSE(app.serial_port_requested());
    EXPECT_FALSE(app.serial_link()->is_open());
    EXPECT_EQ(app.tool().link.app_running, 1);
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(ApplicationTest, SerialInterfaceOpensTheConfiguredPortAtStartUp) {
    // The port names a device that is not there: the opening steps report it and start-up goes on.
    write_ini("COM1=" + dir.filePath("no-such-device").toLocal8Bit() + "\r\n");
    Application app(notices, options);
    ASSERT_EQ(app.start(), Application::Start::kRunning);
    EXPECT_TRUE(app.serial_port_requested());
    EXPECT_EQ(app.main_window()->windowTitle(), "TVX-230 Client Program");
    ASSERT_FALSE(notices.texts("error").empty());
    EXPECT_EQ(notices.texts("error").front(), "Miss! File Open");
    EXPECT_EQ(app.tool().link.app_running, 1);
}

TEST_F(ApplicationTest, TheStatusBarTellsTheLinkTheLastResultAndTheDocument) {
    write_ini("COM1=" + dir.filePath("no-such-device").toLocal8Bit() + "\r\n");
    Application app(notices, options);
    ASSERT_EQ(app.start(), Application::Start::kRunning);
    MainWindow& window = *app.main_window();
    window.tick();
    const std::string device = dir.filePath("no-such-device").toStdString();
    EXPECT_EQ(window.clock_bar()->info_text(ClockStatusBar::Info::kLink),
              QString::fromStdString("COM1 " + device + " 閉じています"));
    // The port's failures went on to the operator's notices; the last of them is the last result.
    ASSERT_FALSE(notices.texts("error").empty());
    EXPECT_TRUE(window.clock_bar()
                    ->info_text(ClockStatusBar::Info::kResult)
                    .endsWith(QString::fromStdString("Error: " + notices.texts("error").back())));
    EXPECT_EQ(window.clock_bar()->info_text(ClockStatusBar::Info::kDocument), QStringLiteral("(無題)"));

    // A job's end has no box: the status bar and the log tell it.
    app.comm_log().clear();
    app.notices().notify_status("全項目の設定: 完了 (118 ステップ, 47 秒)");
    EXPECT_TRUE(window.clock_bar()
                    ->info_text(ClockStatusBar::Info::kResult)
                    .endsWith(QStringLiteral(" 全項目の設定: 完了 (118 ステップ, 47 秒)")));
    ASSERT_EQ(app.comm_log().entries().size(), 1u);
    EXPECT_EQ(app.comm_log().entries()[0].direction, TrafficDirection::kNote);
    EXPECT_EQ(app.comm_log().entries()[0].bytes, "全項目の設定: 完了 (118 ステップ, 47 秒)");
    EXPECT_EQ(notices.texts("status").size(), 1u);

    app.tool().document_path = "/tmp/unit5.dat";
    app.tool().model.pages[0].char_size = app.tool().model.pages[0].char_size == 0 ? 1 : 0;
    for (int i = 0; i < 5; ++i) window.tick();
    EXPECT_EQ(window.clock_bar()->info_text(ClockStatusBar::Info::kDocument), QStringLiteral("unit5.dat *"));
}

TEST_F(ApplicationTest, ASecondCopyIsRefusedAndTheFirstKeepsRunning) {
    write_ini("Interface=1\r\n");
    Application first(notices, options);
    ASSERT_EQ(first.start(), Application::Start::kRunning);

    RecordingNotices second_notices;
    Application second(second_notices, options);
    EXPECT_EQ(second.start(), Application::Start::kSecondInstance);
    ASSERT_EQ(second_notices.calls.size(), 1u);
    EXPECT_EQ(second_notices.calls[0].kind, "box");
    EXPECT_EQ(second_notices.calls[0].title, "TVX-230");
    EXPECT_EQ(second_notices.calls[0].text, "２重に起動はできません");
    EXPECT_EQ(second.main_window(), nullptr);
    EXPECT_NE(first.main_window(), nullptr);
}

// Whatever a link reports to outlives it: the tool is torn down while the serial link and the TCP link
// both carry traffic into the communication log, with answers still on their way, and the log goes
// after both links (and after the main window, which owns the TCP link).
TEST_F(ApplicationTest, TheLogOutlivesTheLinksWhenTheToolIsTornDownMidTraffic) {
    TVX_NEEDS_PTY();
    VirtualUnit serial_unit;
    serial_unit.faults.delay_ms = 30;
    UnitPtyHost serial_host(serial_unit);
    QString error;
    ASSERT_TRUE(serial_host.open(error)) << error.toStdString();
    VirtualUnit tcp_unit;
    tcp_unit.faults.delay_ms = 30;
    UnitTcpServer tcp_host(tcp_unit);
    ASSERT_TRUE(tcp_host.listen(0, error)) << error.toStdString();
    write_ini("Interface=0\r\ncom_port=0\r\nCOM1=" + serial_host.slave_path().toLocal8Bit() +
              "\r\np_port_number=" + QByteArray::number(tcp_host.port()) +
              "\r\nlist_count=1\r\nselect_number=0\r\nip00_0=127\r\nip00_1=0\r\nip00_2=0\r\nip00_3=1\r\n");

    std::vector<std::string> gone;  // before the tool, which reports into it as it goes
    auto app = std::make_unique<Application>(notices, options);
    ASSERT_EQ(app->start(), Application::Start::kRunning);
    ASSERT_TRUE(app->serial_link()->is_open());
    auto* tcp = app->main_window()->findChild<TcpLink*>();
    ASSERT_NE(tcp, nullptr);
    ASSERT_EQ(tcp->tcp_connect(), 1);
    ASSERT_TRUE(testing::run_until([&] { return tcp->tcp_connected(); }));

    const auto note_end = [&gone](QObject* object, std::string name) {
        QObject::connect(object, &QObject::destroyed, [&gone, name] { gone.push_back(name); });
    };
    note_end(app->main_window(), "main window");
    note_end(tcp, "TCP link");
    note_end(app->serial_link(), "serial link");
    note_end(&app->comm_log(), "log");

    // Both links talk; the log records both sides of each.
    const CommLog& log = app->comm_log();
    const auto received_over = [&log](std::string_view prefix) {
        return std::count_if(log.entries().begin(), log.entries().end(), [prefix](const CommLogEntry& entry) {
            return entry.direction == TrafficDirection::kReceived && entry.link.starts_with(prefix);
        });
    };
    app->serial_link()->serial_send("RVN\r\n");
    tcp->tcp_send("RVN\r\n");
    ASSERT_TRUE(
        testing::run_until([&] { return received_over("COM1") > 0 && received_over("127.0.0.1") > 0; }));
    // More lines out, their answers not yet in: the tool ends now.
    app->serial_link()->serial_send("RVN\r\n");
    tcp->tcp_send("RVN\r\n");
    QCoreApplication::processEvents();
    const std::size_t logged = log.entries().size();
    app.reset();

    ASSERT_EQ(gone.size(), 4u);
    EXPECT_EQ(gone.back(), "log") << "the log went before a link that reports to it";
    EXPECT_GT(logged, 4u);
    // The units' late answers find no one listening, and nothing touches what has gone.
    testing::run_until([] { return false; }, std::chrono::milliseconds(150));
}

TEST_F(ApplicationTest, InstanceLockIsHeldUntilReleased) {
    const QString path = dir.filePath("lock");
    {
        InstanceLock first(path);
        ASSERT_TRUE(first.try_lock());
        InstanceLock second(path);
        EXPECT_FALSE(second.try_lock());
        EXPECT_FALSE(second.is_locked());
    }
    InstanceLock later(path);
    EXPECT_TRUE(later.try_lock());
}

TEST_F(ApplicationTest, InstanceLockTakesOverALockNamingNoOwner) {
    // Left by a copy that died between creating the file and writing its owner.
    const QString path = dir.filePath("lock");
    QFile leftover(path);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    leftover.close();
    InstanceLock lock(path);
    EXPECT_TRUE(lock.try_lock());
}

TEST_F(ApplicationTest, InstanceLockLivesInARuntimeFolder) {
    EXPECT_TRUE(InstanceLock::default_path().endsWith("TVX-230 TCP_X_Mutex.lock"));
}

}  // namespace
}  // namespace tvx
