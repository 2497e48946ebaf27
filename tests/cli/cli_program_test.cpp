#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::run_until;

// The tvx230-cli program as a script starts it.
class CliProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_unit_application();
        QString dir = qEnvironmentVariable("TVX230_BIN_DIR");
        if (dir.isEmpty()) dir = QCoreApplication::applicationDirPath();
        program = dir + "/tvx230-cli";
        if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "tvx230-cli is not built";
    }
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }

    // Runs the program with the event loop going (a unit in this process answers it); the exit status.
    int run(const QStringList& arguments) {
        process.start(program, arguments);
        if (!process.waitForStarted(5000)) return -1;
        if (!run_until([this] { return process.state() == QProcess::NotRunning; }, std::chrono::seconds(8)))
            return -1;
        out = process.readAllStandardOutput().toStdString();
        err = process.readAllStandardError().toStdString();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QString program;
    QProcess process;
    std::string out;
    std::string err;
};

TEST_F(CliProgram, HelpUsageErrorsAndAnAnswerFromAUnit) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(out.find("tvx230-cli LINK [OPTIONS] COMMAND [ARGS]"), std::string::npos);
    EXPECT_NE(out.find("Exit status"), std::string::npos);

    EXPECT_EQ(run({"--tcp", "127.0.0.1", "--units", "3", "send", "RVN"}), 2);
    EXPECT_NE(err.find("tvx230-cli: --units and --wait go with --listen"), std::string::npos) << err;
    EXPECT_TRUE(out.empty());

    VirtualUnit unit;
    unit.settings().network.version_number = "4.56";
    UnitTcpServer server(unit);
    QString error;
    ASSERT_TRUE(server.listen(0, error));
    const QString target = "127.0.0.1:" + QString::number(server.port());
    EXPECT_EQ(run({"--tcp", target, "send", "RVN"}), 0) << err;
    EXPECT_EQ(out, target.toStdString() + "\tVN4.56\n");
    // Standard error is no terminal here: no bars, only the summary.
    EXPECT_EQ(err.find('\x1b'), std::string::npos);
    EXPECT_NE(err.find("send: 1 of 1 unit succeeded"), std::string::npos) << err;

    EXPECT_EQ(run({"--tcp", target, "--quiet", "send", "XYZ"}), 1);
    EXPECT_EQ(out, target.toStdString() + "\tE3\n");
    EXPECT_EQ(err, "tvx230-cli: Socket Command\n");
}

}  // namespace
}  // namespace tvx
