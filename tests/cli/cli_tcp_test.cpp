#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "protocol/full_send_sequence.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/read_back_sequence.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;
using testing::round_trip_model;
using testing::ScriptedUnit;

using CliOverTcp = testing::CliAgainstTcpUnit;

TEST_F(CliOverTcp, SendAllThenReadBackCarryAWholeDocumentLineByLine) {
    const SettingsModel sent = round_trip_model(7);
    const std::string document = write_document(sent);
    const std::string in = files.write("in.dat", document);

    ASSERT_EQ(run({"send-all", in}), 0) << cli.errors();
    std::vector<std::string> expected;
    for (int step = 1; step < kFullSendSteps; ++step) expected.push_back(*full_send_command(sent, step));
    EXPECT_EQ(received, expected);
    SettingsModel held = sent;
    held.network.version_number = unit.settings().network.version_number;
    held.network.mac_address = unit.settings().network.mac_address;
    EXPECT_EQ(testing::dump_unit_settings(unit.settings()), testing::dump_unit_settings(held));

    received.clear();
    ASSERT_EQ(run({"read-back", "-o", files.path("back")}), 0) << cli.errors();
    expected.clear();
    for (int step = 1; step <= kReadBackSteps; ++step) expected.push_back(read_back_command(step));
    EXPECT_EQ(received, expected);
    // The save dialog's rule: ".dat" is appended to a name without it.
    EXPECT_EQ(files.read("back.dat"), document);
    EXPECT_NE(cli.errors().find("1 of 1 unit succeeded"), std::string::npos) << cli.errors();
}

TEST_F(CliOverTcp, SendPrintsTheReplyAndTheExitStatusFollowsIt) {
    unit.settings().network.version_number = "2.34";
    ASSERT_EQ(run({"send", "RVN"}), 0);
    EXPECT_EQ(cli.output(), target + "\tVN2.34\n");
    EXPECT_EQ(received, std::vector<std::string>{"RVN\r\n"});

    ASSERT_EQ(run({"send", "NOSUCH"}), 1);
    EXPECT_EQ(cli.output(), target + "\tE3\n");
    EXPECT_NE(cli.errors().find("Socket Command"), std::string::npos) << cli.errors();

    unit.faults.error_at_line = 3;
    unit.faults.error_reply = "MENU";
    ASSERT_EQ(run({"send", "CFS01L"}), 1);
    EXPECT_NE(cli.errors().find("Menu Display"), std::string::npos) << cli.errors();
}

TEST_F(CliOverTcp, AnErrorReplyStopsTheSequenceAtItsStepAndNoFileIsWritten) {
    unit.faults.error_at_line = 10;
    ASSERT_EQ(run({"read-back", "-o", files.path("r.dat")}), 1);
    EXPECT_EQ(received.size(), 10u);
    EXPECT_FALSE(files.exists("r.dat"));
    EXPECT_NE(cli.errors().find("failed at step 10 of 119: Socket Command"), std::string::npos)
        << cli.errors();
}

TEST_F(CliOverTcp, ReadsAnsweredWithoutTheirDataLineEndWithStatusOneAndAreNamed) {
    unit.faults.error_at_line = 5;  // "GN" does not stop the sequence
    unit.faults.error_reply = "GN";
    unit.faults.stray_at_line = 104;
    unit.faults.stray_answer = "#?";
    ASSERT_EQ(run({"read-back", "-o", files.path("r.dat")}), 1);
    EXPECT_EQ(received.size(), static_cast<std::size_t>(kReadBackSteps));
    EXPECT_FALSE(files.exists("r.dat"));
    const std::string errors = cli.errors();
    EXPECT_NE(errors.find(std::string(kUnreadHeading) + "\nタイトル: ページ 05\n文字サイズ"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find(": failed: not read: タイトル: ページ 05; 文字サイズ"), std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("done"), std::string::npos) << errors;
}

TEST_F(CliOverTcp, AUnitThatAnswersGnDidNotTakeItAndTheSendFailsNamingTheStep) {
    // "GN" does not stop a send-all, as in the tool; but what it answered was not taken, so the run
    // cannot end as done.
    SettingsModel sent;
    sent.alarm_mode = 1;
    const std::string in = files.write("in.dat", write_document(sent));
    unit.faults.error_at_line = 96;
    unit.faults.error_reply = "GN";
    ASSERT_EQ(run({"--report", files.path("r.json"), "send-all", in}), 1);
    EXPECT_EQ(received.size(), static_cast<std::size_t>(kFullSendSteps - 1));  // it went on to the end
    const std::string errors = cli.errors();
    EXPECT_NE(errors.find("モード違い（GN）: ステップ 96"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("done"), std::string::npos) << errors;
    EXPECT_NE(files.read("r.json").find("\"failed\""), std::string::npos);

    // A single command answered "GN" is not taken either.
    unit.faults.error_at_line = static_cast<int>(unit.lines_received()) + 1;
    ASSERT_EQ(run({"send", "AME"}), 1);
    EXPECT_EQ(cli.output(), target + "\tGN\n");

    // A setting line answered by something that is no status (another command's line) was not taken
    // either: the run fails naming the step.
    unit.faults.error_at_line = 0;
    unit.faults.stray_at_line = static_cast<int>(unit.lines_received()) + 97;
    unit.faults.stray_answer = "ZZZ";
    ASSERT_EQ(run({"send-all", in}), 1);
    EXPECT_NE(cli.errors().find("想定外の応答: ステップ 97"), std::string::npos) << cli.errors();

    // An honest unit: done.
    unit.faults.stray_at_line = 0;
    ASSERT_EQ(run({"send-all", in}), 0) << cli.errors();
}

TEST_F(CliOverTcp, WhatAUnitOrADocumentHoldsReachesTheTerminalWithoutItsControlBytes) {
    // A reply that would clear the screen and retitle the window is printed with its control bytes shown.
    unit.settings().network.version_number = "\x1b]0;";
    ASSERT_EQ(run({"send", "RVN"}), 0) << cli.errors();
    EXPECT_EQ(cli.output(), target + "\tVN<1B>]0;\n");

    // A title holding a line break and an escape stays one line of diff's output, its fields four.
    SettingsModel a;
    SettingsModel b;
    b.pages[4].title = "A\r\n\x1b[2J";
    ASSERT_EQ(cli.run({"diff", files.write("a.dat", write_document(a)), files.write("b.dat", write_document(b))}),
              1);
    const std::string out = cli.output();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\t'), 3) << out;
    EXPECT_NE(out.find("A<0D><0A><1B>[2J"), std::string::npos) << out;
}

TEST_F(CliOverTcp, ALastStepLeftUnansweredIsNamedLikeAnyOther) {
    unit.faults.silent_at_line = kReadBackSteps;
    ASSERT_EQ(run({"read-back", "-o", files.path("r.dat")}), 1);
    EXPECT_FALSE(files.exists("r.dat"));
    EXPECT_NE(cli.errors().find("failed at step 119 of 119"), std::string::npos) << cli.errors();
}

TEST_F(CliOverTcp, AUnitThatStopsAnsweringEndsTheCommandAtTheFirstUnansweredStep) {
    unit.faults.silent_at_line = 5;
    const std::string in = files.write("in.dat", write_document(SettingsModel{}));
    for (const char* pace : {"reply", "20"}) {
        received.clear();
        ASSERT_EQ(cli.run({"--tcp", target, "--pace", pace, "--reply-timeout", "0.3", "send-all", in}), 1);
        ASSERT_EQ(received.size(), 5u) << pace;
        EXPECT_NE(cli.errors().find("Answer が､きません"), std::string::npos) << cli.errors();
        unit.faults.silent_at_line = static_cast<int>(unit.lines_received()) + 5;
    }
}

TEST_F(CliOverTcp, AnswersInPiecesAreJoinedAndDelayedAnswersAwaited) {
    unit.settings().pages[40].char_size = 0;
    unit.faults.piece_size = 5;
    unit.faults.piece_gap_ms = 1;
    ASSERT_EQ(run({"send", "RCFS"}), 0) << cli.errors();
    EXPECT_EQ(cli.output(), target + "\tCFS" + std::string(40, 'M') + "L" + std::string(23, 'M') + "\n");

    unit.faults.piece_size = 0;
    unit.faults.delay_ms = 1;
    ASSERT_EQ(run({"read-back", "-o", files.path("p.dat")}), 0) << cli.errors();
    SettingsModel back;
    ASSERT_FALSE(read_document_strict(back, files.read("p.dat")).has_value());
    EXPECT_EQ(back.pages[40].char_size, 0);
}

TEST_F(CliOverTcp, DocumentsThatCannotBeSentWholeAreRefusedOrReported) {
    // Damaged: nothing at all goes to the unit.
    std::string damaged = write_document(SettingsModel{});
    damaged.resize(damaged.size() / 2);
    EXPECT_EQ(run({"send-all", files.write("damaged.dat", damaged)}), 1);
    EXPECT_NE(cli.errors().find("not a whole settings document"), std::string::npos) << cli.errors();
    EXPECT_EQ(run({"send-all", files.path("missing.dat")}), 1);
    EXPECT_NE(cli.errors().find("missing.dat: does not exist"), std::string::npos) << cli.errors();
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(received.empty());

    // A title the unit cannot show: the titles before it went out, nothing after.
    SettingsModel model;
    model.pages[2].title = "A";
    EXPECT_EQ(run({"send-all", files.write("title.dat", write_document(model))}), 1);
    EXPECT_EQ(received.size(), 2u);
    EXPECT_NE(cli.errors().find("ＪＩＳ第１水準,第２水準以外の字が選択されてます"), std::string::npos);

    // The hold time is text: "12a" is sent as 12 seconds; below 3 seconds it is refused, the rest goes.
    model = SettingsModel{};
    model.alarm_hold_time = "12a";
    received.clear();
    EXPECT_EQ(run({"send-all", files.write("hold.dat", write_document(model))}), 0) << cli.errors();
    EXPECT_EQ(std::count(received.begin(), received.end(), "ADT012\r\n"), 1);
    model.alarm_hold_time = "002";
    received.clear();
    EXPECT_EQ(run({"send-all", files.write("short.dat", write_document(model))}), 1);
    EXPECT_EQ(received.size(), static_cast<std::size_t>(kFullSendSteps - 2));
    EXPECT_NE(cli.errors().find("3秒以上を設定してください。"), std::string::npos) << cli.errors();
}

TEST(CliHostileUnit, ClosedConnectionsFloodsAndRefusalsEndWithStatusOne) {
    CliHarness cli;
    Files files;
    const std::string out = files.path("x.dat");

    // The stable word a script (and the Ansible modules) reads for each way a unit is lost.
    const std::string report = files.path("r.json");
    const auto reported = [&](const char* field) {
        std::string text;
        read_whole_file(report, text);
        const QJsonObject unit = QJsonDocument::fromJson(QByteArray::fromStdString(text))
                                     .object()["units"].toArray().at(0).toObject();
        return unit[field].toVariant().toString().toStdString();
    };
    ScriptedUnit closes([](int index, const QByteArray&) {
        return ScriptedUnit::Answer{"GO\r\n", index == 3};
    });
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(closes.port()), "--pace", "reply", "--report",
                       report, "read-back", "-o", out}),
              1);
    // Nothing goes after the close is seen; the fourth line may have been under way.
    EXPECT_GE(closes.lines.size(), 3u);
    EXPECT_LE(closes.lines.size(), 4u);
    EXPECT_EQ(reported("reason_code"), "connection_closed");
    EXPECT_TRUE(reported("stopped_at_step") == "3" || reported("stopped_at_step") == "4") << reported("stopped_at_step");

    ScriptedUnit silent([](int, const QByteArray&) { return ScriptedUnit::Answer{}; });
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(silent.port()), "--reply-timeout", "0.3",
                       "--report", report, "send", "RVN"}),
              1);
    EXPECT_EQ(reported("reason_code"), "timeout");
    quint16 gone = 0;
    {
        const ScriptedUnit closed([](int, const QByteArray&) { return ScriptedUnit::Answer{}; });
        gone = closed.port();
    }
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(gone), "--report", report, "send", "RVN"}), 1);
    EXPECT_EQ(reported("reason_code"), "connection_refused");

    // A flood without line ends is never an answer.
    ScriptedUnit floods([](int, const QByteArray&) { return ScriptedUnit::Answer{QByteArray(300000, 'x')}; });
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(floods.port()), "--reply-timeout", "0.3",
                       "send", "RVN"}),
              1);

    // Over-long lines count as answers, as in the tool, but hold nothing: nothing was read.
    ScriptedUnit long_lines(
        [](int, const QByteArray&) { return ScriptedUnit::Answer{QByteArray(5000, 'C') + "\r\n"}; });
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(long_lines.port()), "--pace", "reply",
                       "read-back", "-o", out}),
              1);
    EXPECT_EQ(long_lines.lines.size(), static_cast<std::size_t>(kReadBackSteps));
    EXPECT_NE(cli.errors().find("not read: タイトル: ページ 01〜64; スケジュール: 1日〜31日"),
              std::string::npos)
        << cli.errors();
    EXPECT_FALSE(files.exists("x.dat"));

    // Data lines with foreign characters where digits belong are not read; the titles, whose characters
    // all have a meaning, are.
    ScriptedUnit foreign([](int, const QByteArray& line) {
        QByteArray answer = line.mid(1, line.indexOf('\r') - 1);
        if (answer.startsWith("CA")) return ScriptedUnit::Answer{answer + QByteArray(896, '2') + "\r\n"};
        return ScriptedUnit::Answer{answer + QByteArray(900, '~').replace(0, 7, "9x?\x01:Z") + "\r\n"};
    });
    ASSERT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(foreign.port()), "--pace", "reply", "read-back",
                       "-o", out}),
              1)
        << cli.errors();
    EXPECT_EQ(cli.errors().find("タイトル"), std::string::npos) << cli.errors();
    EXPECT_NE(cli.errors().find("not read: スケジュール: 1日〜31日; アラーム:"), std::string::npos)
        << cli.errors();
    EXPECT_FALSE(files.exists("x.dat"));

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:" + std::to_string(port), "send", "RVN"}), 1);
    EXPECT_NE(cli.errors().find("接続できません"), std::string::npos) << cli.errors();
}

}  // namespace
}  // namespace tvx
