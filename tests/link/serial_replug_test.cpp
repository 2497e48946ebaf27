#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "link/event_loop.h"
#include "link/serial_link.h"
#include "link/serial_port_list.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::PtyPair;
using testing::RecordingNotices;

std::size_t count_containing(const std::vector<std::string>& texts, const std::string& part) {
    return static_cast<std::size_t>(std::count_if(
        texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; }));
}

#ifndef _WIN32
class SerialReplugTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_core_application();
        ASSERT_TRUE(dir.isValid());
        reset_settings(tool);
        link = std::make_unique<SerialLink>(tool, notices);
    }

    // The stable name an adapter keeps, pointing at whichever device stands for it now.
    bool point_stable_name_at(const std::string& target) {
        QFile::remove(stable_name());
        return QFile::link(QString::fromStdString(target), stable_name());
    }
    QString stable_name() const { return QDir(dir.path()).filePath("usb-adapter-if00"); }

    QTemporaryDir dir;
    ToolState tool;
    RecordingNotices notices;
    std::unique_ptr<SerialLink> link;
};

TEST_F(SerialReplugTest, AnUnpluggedDeviceIsReportedOnceAndReopenedWhenItComesBack) {
    link->treat_pseudo_terminals_as_adapters();
    auto first = std::make_unique<PtyPair>();
    ASSERT_TRUE(first->ok());
    ASSERT_TRUE(point_stable_name_at(first->slave_path()));
    link->open_serial_port(stable_name().toStdString());
    ASSERT_TRUE(link->is_open());
    notices.clear();

    // Pulled out: the stable name goes, and the device stops answering reads.
    QFile::remove(stable_name());
    first->close_master();
    ASSERT_TRUE(testing::process_events_until([&] { return !link->is_open(); }));
    EXPECT_TRUE(link->waiting_for_device());
    first.reset();

    // Gone: polling finds nothing and says nothing more.
    link->poll_for_device();
    link->poll_for_device();
    EXPECT_FALSE(link->is_open());
    EXPECT_EQ(count_containing(notices.texts("error"), "外されました"), 1u);
    EXPECT_EQ(notices.calls.size(), 1u);
    // Opened by its path, the port is named by that path once.
    EXPECT_EQ(count_containing(notices.texts("error"),
                               "シリアルポート " + stable_name().toStdString() + " が外されました"),
              1u);

    // Plugged in again, as a new device behind the same stable name.
    PtyPair second;
    ASSERT_TRUE(second.ok());
    ASSERT_TRUE(point_stable_name_at(second.slave_path()));
    link->poll_for_device();
    ASSERT_TRUE(link->is_open());
    EXPECT_FALSE(link->waiting_for_device());
    link->serial_send("RVN");
    EXPECT_NE(second.read(3).find("RVN"), std::string::npos);
}

TEST_F(SerialReplugTest, APseudoTerminalThatWentIsNeverReopenedByItsNumber) {
    auto first = std::make_unique<PtyPair>();
    ASSERT_TRUE(first->ok());
    const std::string path = first->slave_path();
    link->open_serial_port(path);
    ASSERT_TRUE(link->is_open());
    notices.clear();

    first->close_master();
    ASSERT_TRUE(testing::process_events_until([&] { return !link->is_open(); }));
    EXPECT_FALSE(link->waiting_for_device());
    EXPECT_EQ(count_containing(notices.texts("error"), "擬似端末は開き直しません"), 1u);
    first.reset();

    // Another program is given a pseudo-terminal, most likely the same number: it is not the unit.
    PtyPair other;
    ASSERT_TRUE(other.ok());
    link->poll_for_device();
    EXPECT_FALSE(link->is_open());
    link->serial_send("RVN");
    EXPECT_EQ(other.read(3, std::chrono::milliseconds(200)).find("RVN"), std::string::npos);

    // Nor when it was opened through a link that leads to the new one.
    ASSERT_TRUE(point_stable_name_at(other.slave_path()));
    link->open_serial_port(stable_name().toStdString());
    ASSERT_TRUE(link->is_open());
    other.close_master();
    ASSERT_TRUE(testing::process_events_until([&] { return !link->is_open(); }));
    PtyPair third;
    ASSERT_TRUE(third.ok());
    ASSERT_TRUE(point_stable_name_at(third.slave_path()));
    link->poll_for_device();
    EXPECT_FALSE(link->is_open());
}

TEST_F(SerialReplugTest, APermissionRefusalNamesTheGroupThatOwnsTheDevice) {
    const QString path = QDir(dir.path()).filePath("ttyLocked");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct stat info {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    const std::string hint = serial_permission_hint(path.toStdString());
    EXPECT_NE(hint.find(std::string("sudo usermod -aG ") + owner->gr_name + " $USER"), std::string::npos);
    EXPECT_NE(hint.find("ログインし直して"), std::string::npos);

    if (::geteuid() == 0) GTEST_SKIP() << "root opens any device";
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions{}));
    link->open_serial_port(path.toStdString());
    ASSERT_FALSE(notices.texts("error").empty());
    EXPECT_EQ(notices.texts("error").front(), "Miss! File Open\n" + hint);
}

TEST(SerialPortList, OffersTheStableNamesFirst) {
    QTemporaryDir by_id;
    ASSERT_TRUE(QFile::link("/dev/null", QDir(by_id.path()).filePath("usb-B-if00")));
    ASSERT_TRUE(QFile::link("/dev/null", QDir(by_id.path()).filePath("usb-A-if00")));
    const std::vector<std::string> found = available_serial_devices(by_id.path().toStdString());
    ASSERT_GE(found.size(), 2u);
    EXPECT_EQ(found[0], QDir(by_id.path()).filePath("usb-A-if00").toStdString());
    EXPECT_EQ(found[1], QDir(by_id.path()).filePath("usb-B-if00").toStdString());
    EXPECT_EQ(std::count(found.begin(), found.end(), found[0]), 1);
    EXPECT_TRUE(available_serial_devices(by_id.path().toStdString() + "/missing").size() == found.size() - 2);
}

#else
TEST(SerialReplug, UnpluggingAndPermissionsArePosixCases) {
    GTEST_SKIP() << "unplugging is played by a pseudo-terminal, stable names live in /dev/serial/by-id and "
                    "permissions in device groups: Windows has none of them";
}

// Under Wine the test prefix maps COM1 to a virtual unit (scripts/test-windows): the port list names it
// as Windows does.
TEST(SerialPortList, NamesTheComPortsAsWindowsDoes) {
    if (qEnvironmentVariableIsEmpty("TVX230_WINE_COM1")) GTEST_SKIP() << "no COM1 is set up for this run";
    const std::vector<std::string> found = available_serial_devices();
    EXPECT_NE(std::find(found.begin(), found.end(), "COM1"), found.end());
}
#endif

}  // namespace
}  // namespace tvx
