#include "app/application.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/instance_lock.h"
#include "app/main_window.h"
#include "link/serial_link.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"

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
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_config_home); }

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
