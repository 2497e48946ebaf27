#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#ifndef _WIN32
#include <csignal>
#endif

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "preview/monitor_preview.h"
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

TEST_F(CliProgram, RenderWritesPicturesOfTheDocumentsPagesWithoutADisplay) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    SettingsModel model;
    reset_settings(model);
    model.pages[2].title = "\x93\xFA\x96\x7B";  // 日本
    model.pages[2].display_position = 0;
    // Page 4: one glyph cell (slot 0) of a large glyph whose dots are all lit, from the bank file beside.
    model.pages[3].title = std::string("\x10\x20", 2);
    model.pages[3].char_size = 0;
    ASSERT_TRUE(write_file_replacing(folder + "/site.dat", write_document(model)));
    GlyphModel banks;
    glyph_bank(banks, kLarge)[0].replace(0, kLarge.digits, std::string(kLarge.digits, 'F'));
    ASSERT_TRUE(write_file_replacing(folder + "/site.tll", bank_file_text(banks, kLarge)));
    const QString document = dir.path() + "/site.dat";
    QProcessEnvironment no_display = QProcessEnvironment::systemEnvironment();
    no_display.remove("DISPLAY");
    no_display.remove("WAYLAND_DISPLAY");
    no_display.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(no_display);

    EXPECT_EQ(run({"render", document, "--page", "3", "-o", dir.path() + "/p3.png"}), 0) << err;
    EXPECT_EQ(QImage(dir.path() + "/p3.png").size(), QSize(720, 540));
    EXPECT_EQ(run({"render", document, "--page", "4", "-o", dir.path() + "/p4.png"}), 0) << err;
    const QPoint glyph_middle = first_title_cell(model.pages[3]).center();
    EXPECT_EQ(QImage(dir.path() + "/p4.png").pixel(glyph_middle), kPreviewGeometry.colours[kWhite]);
    EXPECT_EQ(run({"render", document, "--page", "65", "-o", dir.path() + "/p65.png"}), 1);
    EXPECT_NE(err.find("page 65 is out of range"), std::string::npos) << err;
    EXPECT_EQ(run({"render", dir.path() + "/missing.dat", "--page", "1", "-o", dir.path() + "/m.png"}), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/p65.png") || QFileInfo::exists(dir.path() + "/m.png"));
    EXPECT_EQ(run({"render", document, "-o", dir.path() + "/p.png"}), 2);
    EXPECT_NE(err.find("render needs one of --page N and --pages all"), std::string::npos) << err;

    EXPECT_EQ(run({"render", document, "--pages", "all", "-o", dir.path() + "/sheet"}), 0) << err;
    EXPECT_EQ(QDir(dir.path() + "/sheet").entryList({"page*.png"}).size(), 64);
    std::string index;
    ASSERT_TRUE(read_whole_file(folder + "/sheet/index.html", index));
    EXPECT_NE(index.find("P03 MEDIUM TOP 07<br>日本"), std::string::npos) << index;
}

#ifndef _WIN32
// Virtual units, each a TCP server of its own.
struct UnitFleet {
    explicit UnitFleet(int count) {
        for (int i = 0; i < count; ++i) {
            units.push_back(std::make_unique<VirtualUnit>());
            servers.push_back(std::make_unique<UnitTcpServer>(*units.back()));
            QString error;
            EXPECT_TRUE(servers.back()->listen(0, error));
            hosts += "127.0.0.1:" + std::to_string(servers.back()->port()) + "\n";
        }
    }
    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::unique_ptr<UnitTcpServer>> servers;
    std::string hosts;
};

TEST_F(CliProgram, ASignalInTheMiddleOfAFleetEndsWithReportLogAndSummary) {
    testing::Files files;
    UnitFleet fleet(16);
    const std::string hosts = files.write("hosts.txt", fleet.hosts);
    const std::string in = files.write("in.dat", write_document(SettingsModel{}));
    struct Case {
        int signal;
        int status;
    };
    for (const Case c : {Case{SIGTERM, 143}, Case{SIGINT, 130}, Case{SIGHUP, 129}}) {
        const QString report = QString::fromStdString(files.path("r.json"));
        const QString log = QString::fromStdString(files.path("r.log"));
        const int before = fleet.units[7]->lines_received();
        process.start(program, {"--hosts", QString::fromStdString(hosts), "--jobs", "8", "--pace", "40",
                                "--report", report, "--log", log, "send-all", QString::fromStdString(in)});
        ASSERT_TRUE(process.waitForStarted(5000));
        // Some lines have gone to every unit of the first eight.
        ASSERT_TRUE(run_until([&] { return fleet.units[7]->lines_received() >= before + 3; }, std::chrono::seconds(8)));
        const int sent_before = fleet.units[0]->lines_received();
        ::kill(static_cast<pid_t>(process.processId()), c.signal);
        ASSERT_TRUE(run_until([this] { return process.state() == QProcess::NotRunning; }, std::chrono::seconds(8)));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.status);
        // At most the line in flight went out after the signal.
        EXPECT_LE(fleet.units[0]->lines_received(), sent_before + 1);
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_NE(err.find("send-all: 0 of 16 units succeeded"), std::string::npos) << err;

        std::string text;
        ASSERT_TRUE(read_whole_file(report.toStdString(), text));
        testing::expect_report_conforms(text, "signal report");
        const QJsonObject r = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
        EXPECT_EQ(r["exit_status"].toInt(), c.status);
        const QJsonArray units = r["units"].toArray();
        ASSERT_EQ(units.size(), 16);
        for (const QJsonValue unit : units) {
            EXPECT_EQ(unit["reason_code"].toString(), "interrupted");
            // The first eight stopped at the step they reached; the others never started.
            if (unit["number"].toInt() <= 8) {
                EXPECT_GE(unit["stopped_at_step"].toInt(), 3);
            } else {
                EXPECT_TRUE(unit["stopped_at_step"].isNull());
                EXPECT_EQ(unit["steps_done"].toInt(), 0);
            }
        }
        std::string log_text;
        EXPECT_TRUE(read_whole_file(log.toStdString(), log_text));
        EXPECT_FALSE(log_text.empty());
    }
}

TEST_F(CliProgram, ASecondSigintEndsAtOnceWhileAnAnswerIsAwaited) {
    // A unit that never answers: the first SIGINT waits for the line in flight, the second does not.
    testing::Files files;
    testing::ScriptedUnit silent([](int, const QByteArray&) { return testing::ScriptedUnit::Answer{}; });
    process.start(program, {"--tcp", "127.0.0.1:" + QString::number(silent.port()), "--reply-timeout", "30",
                            "read-back", "-o", QString::fromStdString(files.path("x.dat"))});
    ASSERT_TRUE(process.waitForStarted(5000));
    ASSERT_TRUE(run_until([&] { return !silent.lines.empty(); }, std::chrono::seconds(8)));
    const auto pid = static_cast<pid_t>(process.processId());
    ::kill(pid, SIGINT);
    EXPECT_FALSE(run_until([this] { return process.state() == QProcess::NotRunning; }, std::chrono::milliseconds(300)));
    ::kill(pid, SIGINT);
    ASSERT_TRUE(run_until([this] { return process.state() == QProcess::NotRunning; }, std::chrono::seconds(3)));
    EXPECT_EQ(process.exitCode(), 130);
}

TEST_F(CliProgram, UnderADecimalCommaLocaleTheReportIsStillJson) {
    // A locale of its own making, so that the test needs none installed.
    testing::Files files;
    QProcess make;
    make.start("localedef", {"-i", "de_DE", "-f", "UTF-8", QString::fromStdString(files.path("de_DE.UTF-8"))});
    if (!make.waitForFinished(60000) || !QFileInfo(QString::fromStdString(files.path("de_DE.UTF-8"))).exists())
        GTEST_SKIP() << "localedef could not make de_DE.UTF-8";
    VirtualUnit unit;
    UnitTcpServer server(unit);
    QString error;
    ASSERT_TRUE(server.listen(0, error));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LOCPATH", QString::fromStdString(files.path("")));
    environment.insert("LC_ALL", "de_DE.UTF-8");
    process.setProcessEnvironment(environment);
    EXPECT_EQ(run({"--tcp", "127.0.0.1:" + QString::number(server.port()), "--reply-timeout", "0.5", "--json",
                   "send", "RVN"}),
              0)
        << err;
    testing::expect_report_conforms(out, "--json under de_DE");
    EXPECT_NE(err.find(" s\n"), std::string::npos);
    EXPECT_EQ(err.find(",0"), std::string::npos) << err;
}

TEST_F(CliProgram, SetClockOnAFleetSetsTheComputersTimeYearToSecondInOneMinute) {
    UnitFleet fleet(3);
    std::vector<std::vector<std::string>> received(3);
    for (int i = 0; i < 3; ++i) testing::record_lines(*fleet.units[i], received[i]);
    testing::Files files;
    const std::string hosts = files.write("hosts.txt", fleet.hosts);
    ASSERT_EQ(run({"--hosts", QString::fromStdString(hosts), "--pace", "reply", "set-clock"}), 0) << err;
    const QDateTime after = QDateTime::currentDateTime();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(received[i].size(), 7u);
        EXPECT_EQ(received[i][0], "TSS00\r\n");  // the unit's minute cannot turn meanwhile
        const std::string& y = received[i][1];
        const QDateTime set = QDateTime::fromString(
            QString::fromStdString("20" + y.substr(3, 2) + "-" + received[i][2].substr(3, 2) + "-" +
                                   received[i][3].substr(3, 2) + "T" + received[i][4].substr(3, 2) + ":" +
                                   received[i][5].substr(3, 2) + ":" + received[i][6].substr(3, 2)),
            Qt::ISODate);
        ASSERT_TRUE(set.isValid()) << y;
        EXPECT_LE(std::abs(set.secsTo(after)), 2) << set.toString().toStdString();
    }
    // One line per unit: its label, the time set and when the seconds command was answered.
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << out;

    // --at sets exactly that time.
    for (auto& lines : received) lines.clear();
    ASSERT_EQ(run({"--hosts", QString::fromStdString(hosts), "--pace", "reply", "set-clock", "--at",
                   "2031-02-28 23:59:58"}),
              0)
        << err;
    EXPECT_EQ(received[2], (std::vector<std::string>{"TSS00\r\n", "DSY31\r\n", "DSM02\r\n", "DSD28\r\n",
                                                     "TSH23\r\n", "TSM59\r\n", "TSS58\r\n"}));
}
#endif

}  // namespace
}  // namespace tvx
