#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "protocol/full_send_sequence.h"
#include "support/recording_notices.h"
#include "support/tool_on_link.h"
#include "unit/unit_event_loop.h"

namespace tvx {
namespace {

using testing::run_until;

// The tvx230-unit program as a newcomer or a script starts it.
class UnitProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_unit_application();
        // Programs are built beside the test programs.
        QString dir = qEnvironmentVariable("TVX230_BIN_DIR");
        if (dir.isEmpty()) dir = QCoreApplication::applicationDirPath();
        program = dir + "/tvx230-unit";
        if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "tvx230-unit is not built";
    }
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }

    // Starts the program and returns the first line it prints (the pty path or the TCP port).
    QString start(const QStringList& arguments) {
        process.start(program, arguments);
        if (!process.waitForStarted(5000)) return {};
        run_until([this] { return process.canReadLine() || process.state() == QProcess::NotRunning; });
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    QString program;
    QProcess process;
    ToolState tool;
    testing::RecordingNotices notices;
};

TEST_F(UnitProgram, AnswersOnItsPseudoTerminalWithAnRs485Address) {
    const QString path = start({"--pty", "--quiet", "--rs485", "12", "--unit-version", "9.87"});
    ASSERT_TRUE(path.startsWith('/')) << path.toStdString();
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 12;
    SerialLink link(tool, notices);
    link.open_serial_port(path.toStdString());
    LinkDispatch dispatch(tool, notices);
    dispatch.set_serial(&link);
    dispatch.send_command("RVN\r\n");
    ASSERT_TRUE(run_until([this] { return tool.link.reply_expected == 0; }));
    EXPECT_EQ(tool.model.network.version_number, "9.87");
}

TEST_F(UnitProgram, ServesTcpAndInjectsTheErrorAskedFor) {
    const QString port = start({"--tcp-server", "0", "--quiet", "--error-at", "2", "--error", "E1"});
    ASSERT_GT(port.toInt(), 0) << port.toStdString();
    tool.config.link_interface = 1;
    tool.config.list_count = 1;
    tool.config.host_list[0] = {127, 0, 0, 1};
    tool.model.network.port_number = port.toStdString();
    TcpLink link(tool, notices);
    LinkDispatch dispatch(tool, notices);
    dispatch.set_tcp(&link);
    ASSERT_EQ(link.tcp_connect(), 1);
    ASSERT_TRUE(run_until([&link] { return link.tcp_connected(); }));
    notices.clear();
    dispatch.send_command("CFS01L\r\n");
    ASSERT_TRUE(run_until([&link] { return !link.answer_pending(); }));
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Socket ＯＫ"});
    dispatch.send_command("CFS01L\r\n");
    ASSERT_TRUE(run_until([&link] { return !link.answer_pending(); }));
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Parity Error"});
    EXPECT_EQ(tool.link.error_reply, 1);
    link.tcp_stop();
}

// The unit program killed outright in the middle of a full send: the send stops at that step and says
// which step was the last one answered, on the pseudo-terminal and over TCP alike.
TEST_F(UnitProgram, KillingTheUnitStopsAFullSendWhereItWas) {
    for (const bool tcp : {false, true}) {
        const QString where =
            start(tcp ? QStringList{"--tcp-server", "0", "--quiet"} : QStringList{"--pty", "--quiet"});
        testing::ToolOnLink tool;
        if (tcp) {
            ASSERT_GT(where.toInt(), 0) << where.toStdString();
            ASSERT_TRUE(tool.use_tcp(static_cast<quint16>(where.toInt())));
        } else {
            ASSERT_TRUE(where.startsWith('/')) << where.toStdString();
            tool.use_serial(where.toStdString());
            tool.notices.clear();  // a pseudo-terminal has no parity
        }
        FullSendSequence seq(tool.tool, tool.dispatch, tool.notices);
        ASSERT_TRUE(seq.start());
        for (int step = 1; step <= 5; ++step) ASSERT_EQ(tool.step(seq), PacedSequence::State::kRunning);

        process.kill();
        ASSERT_TRUE(process.waitForFinished(3000));
        ASSERT_TRUE(run_until([&tool] { return tool.tool.link.link_lost != 0; }, std::chrono::seconds(3)));
        EXPECT_EQ(seq.tick(), PacedSequence::State::kStopped);
        EXPECT_EQ(seq.steps_sent(), 5);
        ASSERT_FALSE(tool.notices.texts("error").empty());
        EXPECT_EQ(tool.notices.texts("error").back(),
                  "ステップ 6 で中断しました。最後に応答があったのはステップ 5 です。");  // step 6 never went out
        EXPECT_EQ(tool.tool.model.run.batch_step, 0);
    }
}

TEST_F(UnitProgram, RefusesOptionsItCannotHonour) {
    for (const QStringList& arguments :
         {QStringList{"--rs485", "32"}, QStringList{"--error", "E9"}, QStringList{"--count", "2"},
          QStringList{"--save"}, QStringList{"--document", "/nonexistent/unit.dat"}}) {
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForFinished(5000)) << arguments.join(' ').toStdString();
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace tvx
