#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "cli/unit_backup.h"
#include "cli_harness.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "protocol/full_send_sequence.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;
using testing::round_trip_model;

// A port on this host where nobody listens.
quint16 closed_port() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// Virtual units, each a TCP server of its own, every line they receive recorded in one list in order.
class UnitServers {
  public:
    explicit UnitServers(int count) {
        for (int i = 0; i < count; ++i) {
            auto unit = std::make_unique<VirtualUnit>();
            unit->settings().network.version_number = "V" + std::to_string(i) + ".0";
            unit->observer = [this, i](std::string_view, const std::optional<std::string>&) {
                order.push_back(i);
            };
            auto server = std::make_unique<UnitTcpServer>(*unit);
            QString error;
            EXPECT_TRUE(server->listen(0, error)) << error.toStdString();
            units.push_back(std::move(unit));
            servers.push_back(std::move(server));
        }
    }
    std::string address(int i) const { return "127.0.0.1:" + std::to_string(servers[i]->port()); }

    // The most units that were being talked to at once: a unit counts from its first line to its last.
    int most_at_once() const {
        std::vector<std::pair<std::size_t, std::size_t>> spans(units.size(), {SIZE_MAX, 0});
        for (std::size_t k = 0; k < order.size(); ++k) {
            auto& span = spans[static_cast<std::size_t>(order[k])];
            span.first = std::min(span.first, k);
            span.second = k;
        }
        int most = 0;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto at_once = std::count_if(spans.begin(), spans.end(),
                                               [k](const auto& s) { return s.first <= k && k <= s.second; });
            most = std::max(most, static_cast<int>(at_once));
        }
        return most;
    }

    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::unique_ptr<UnitTcpServer>> servers;
    std::vector<int> order;
};

QJsonObject read_report(const Files& files, const std::string& name) {
    QJsonParseError error{};
    const QJsonDocument report = QJsonDocument::fromJson(QByteArray::fromStdString(files.read(name)), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return report.object();
}

TEST(CliManyUnits, AHostsFileOfEightWithOneUnreachableFailsThatOneAloneAndTheReportSaysSo) {
    CliHarness cli;
    Files files;
    UnitServers fleet(7);
    const SettingsModel document = round_trip_model(21);
    const std::string in = files.write("site.dat", write_document(document));
    const std::string unreachable = "127.0.0.1:" + std::to_string(closed_port());
    // Unit 4 is the one nobody answers for; comments and blank lines are no units.
    std::string hosts = "# site A\n\n";
    for (int i = 0; i < 7; ++i) {
        if (i == 3) hosts += unreachable + "   # switched off\n";
        hosts += fleet.address(i) + "\r\n";
    }
    const std::string list = files.write("hosts.txt", hosts);
    ASSERT_EQ(cli.run({"--hosts", list, "--jobs", "3", "--pace", "reply", "--reply-timeout", "0.5",
                       "--report", files.path("run.json"), "send-all", in}),
              1)
        << cli.errors();
    for (const auto& unit : fleet.units) {
        SettingsModel held = document;
        held.network = unit->settings().network;
        EXPECT_EQ(testing::dump_unit_settings(unit->settings()), testing::dump_unit_settings(held));
        EXPECT_EQ(unit->lines_received(), kFullSendSteps - 1);
    }
    EXPECT_LE(fleet.most_at_once(), 3);
    EXPECT_NE(cli.errors().find("send-all: 7 of 8 units succeeded"), std::string::npos) << cli.errors();

    const QJsonObject report = read_report(files, "run.json");
    EXPECT_EQ(report["command"].toString(), "send-all");
    EXPECT_EQ(report["result"].toString(), "failed");
    const QJsonArray units = report["units"].toArray();
    ASSERT_EQ(units.size(), 8);
    for (int n = 1; n <= 8; ++n) {
        const QJsonObject unit = units[n - 1].toObject();
        EXPECT_EQ(unit["number"].toInt(), n);
        const std::string link = unit["link"]["host"].toString().toStdString() + ":" +
                                 std::to_string(unit["link"]["port"].toInt());
        const bool off = n == 4;
        EXPECT_EQ(link, off ? unreachable : fleet.address(n < 4 ? n - 1 : n - 2));
        EXPECT_EQ(unit["result"].toString(), off ? "failed" : "ok") << n;
        EXPECT_EQ(unit["steps_done"].toInt(), off ? 0 : kFullSendSteps - 1);
        EXPECT_EQ(unit["steps_planned"].toInt(), kFullSendSteps - 1);
        EXPECT_GE(unit["seconds"].toDouble(), 0.0);
        if (off) {
            EXPECT_TRUE(unit["reason"].toString().startsWith("接続できません"))
                << unit["reason"].toString().toStdString();
        } else {
            EXPECT_TRUE(unit["reason"].toString().isEmpty());
        }
    }
    EXPECT_EQ(report["totals"]["units"].toInt(), 8);
    EXPECT_EQ(report["totals"]["ok"].toInt(), 7);
    EXPECT_EQ(report["totals"]["failed"].toInt(), 1);
}

TEST(CliManyUnits, RepeatedTcpNumbersUnitsInOrderAndJobsOneServesThemOneAfterAnother) {
    CliHarness cli;
    UnitServers fleet(3);
    ASSERT_EQ(cli.run({"--tcp", fleet.address(2), "--tcp", fleet.address(0), "--tcp", fleet.address(1),
                       "--jobs", "1", "--pace", "reply", "send", "RVN"}),
              0)
        << cli.errors();
    EXPECT_EQ(cli.output(), fleet.address(2) + "\tVNV2.0\n" + fleet.address(0) + "\tVNV0.0\n" + fleet.address(1) +
                                "\tVNV1.0\n");
    EXPECT_EQ(fleet.order, (std::vector<int>{2, 0, 1}));

    // A hosts file that cannot be read or holds something else than HOST[:PORT] sends nothing.
    Files files;
    EXPECT_EQ(cli.run({"--hosts", files.path("missing.txt"), "send", "RVN"}), 1);
#ifndef _WIN32
    // A FIFO would keep the reading waiting for ever: it is refused at once.
    ASSERT_EQ(mkfifo(files.path("hosts.fifo").c_str(), 0600), 0);
    EXPECT_EQ(cli.run({"--hosts", files.path("hosts.fifo"), "send", "RVN"}), 1);
    EXPECT_NE(cli.errors().find("hosts.fifo: not a regular file"), std::string::npos) << cli.errors();
#endif
    const std::string bad = files.write("bad.txt", fleet.address(0) + "\nunit-2 extra\n");
    EXPECT_EQ(cli.run({"--hosts", bad, "send", "RVN"}), 2);
    EXPECT_NE(cli.errors().find("bad.txt: line 2: not HOST[:PORT]"), std::string::npos) << cli.errors();
    // One unit named twice, by its address and by a name that resolves to it, would get two sessions at
    // once: refused before anything is sent, naming where each was given.
    const std::string port = std::to_string(fleet.servers[0]->port());
    const std::string again = files.write("again.txt", "# lab\nlocalhost:" + port + "\n");
    EXPECT_EQ(
        cli.run({"--tcp", fleet.address(0), "--tcp", fleet.address(1), "--hosts", again, "send", "RVN"}), 2);
    EXPECT_NE(cli.errors().find("(argument 2) and localhost:" + port + " (" + again + " line 2)"),
              std::string::npos)
        << cli.errors();
    EXPECT_EQ(cli.run({"--tcp", fleet.address(0), "--tcp", fleet.address(0), "send", "RVN"}), 2);
    // Several units read back need a file each.
    const std::string two = files.write("two.txt", fleet.address(0) + "\n" + fleet.address(1) + "\n");
    EXPECT_EQ(cli.run({"--hosts", two, "read-back", "-o", files.path("one.dat")}), 2);
    EXPECT_EQ(fleet.order.size(), 3u);
}

TEST(CliManyUnits, VerifyListsExactlyTheSettingAUnitSaidGoToButDidNotKeep) {
    CliHarness cli;
    Files files;
    UnitServers fleet(2);
    SettingsModel document = round_trip_model(5);
    document.power_on_page = 12;
    document.alarm_hold_time = "5";  // read back as "005": the same hold time
    const std::string in = files.write("in.dat", write_document(document));
    fleet.units[1]->faults.forget_prefix = "POSP";
    fleet.units[1]->settings().power_on_page = 40;

    ASSERT_EQ(cli.run({"--tcp", fleet.address(0), "--tcp", fleet.address(1), "--pace", "reply", "--verify",
                       "--report", files.path("r.json"), "send-all", in}),
              1)
        << cli.errors();
    EXPECT_EQ(cli.output(), fleet.address(1) + "\tその他\t電源投入時ページ\t13\t41\n");
    const QJsonArray units = read_report(files, "r.json")["units"].toArray();
    ASSERT_EQ(units.size(), 2);
    EXPECT_EQ(units[0]["result"].toString(), "ok");
    EXPECT_TRUE(units[0]["differences"].toArray().isEmpty());
    EXPECT_EQ(units[1]["result"].toString(), "failed");
    const QJsonArray differences = units[1]["differences"].toArray();
    ASSERT_EQ(differences.size(), 1);
    EXPECT_EQ(differences[0]["setting"].toString(), "電源投入時ページ");
    EXPECT_EQ(differences[0]["sent"].toString(), "13");
    EXPECT_EQ(differences[0]["unit"].toString(), "41");
    EXPECT_EQ(units[1]["steps_done"].toInt(), units[1]["steps_planned"].toInt());
    EXPECT_EQ(units[1]["steps_planned"].toInt(), kFullSendSteps - 1 + 119);

    // The honest unit alone: nothing listed, success.
    ASSERT_EQ(cli.run({"--tcp", fleet.address(0), "--pace", "reply", "--verify", "send-all", in}), 0)
        << cli.errors();
    EXPECT_EQ(cli.output(), "");

    // A read answered with something else than its data line is not "the same": it is listed.
    const int sent = fleet.units[0]->lines_received();
    fleet.units[0]->faults.stray_at_line = sent + kFullSendSteps - 1 + 104;  // RCFS of the read-back
    fleet.units[0]->faults.stray_answer = "GO";
    ASSERT_EQ(cli.run({"--tcp", fleet.address(0), "--pace", "reply", "--verify", "send-all", in}), 1);
    // Listed once, as not read: the sizes sent are not shown again against defaults the unit never gave.
    EXPECT_EQ(cli.output(), fleet.address(0) + "\t文字サイズ\t文字サイズ\t\t(読み込めませんでした)\n");
}

// Every slot of every size with its own random glyph.
void random_glyphs(GlyphModel& glyphs, unsigned seed) {
    std::mt19937 random(seed);
    for (const GlyphSize* size : kGlyphSizes) {
        for (std::string& slot : glyph_bank(glyphs, *size)) {
            for (int i = 0; i < size->digits; ++i)
                slot[static_cast<std::size_t>(i)] = "0123456789ABCDEF"[random() % 16];
        }
    }
}

TEST(CliManyUnits, BackupOfOneUnitRestoredIntoAFreshOneGivesTheSameSettingsAndGlyphs) {
    CliHarness cli;
    Files files;
    UnitServers fleet(2);
    VirtualUnit& source = *fleet.units[0];
    VirtualUnit& fresh = *fleet.units[1];
    source.settings() = round_trip_model(77);
    source.settings().network.version_number = "2.10";
    for (int p = 0; p < kPageCount; ++p) source.set_title(p, source.settings().pages[p].title);
    random_glyphs(source.glyphs(), 77);

    const std::string dir = files.path("backup");
    ASSERT_EQ(cli.run({"--tcp", fleet.address(0), "--pace", "reply", "backup", dir}), 0) << cli.errors();
    const QJsonObject manifest = read_report(files, "backup/manifest.json");
    EXPECT_EQ(manifest["version"].toString(), "2.10");
    EXPECT_EQ(manifest["link"]["port"].toInt(), fleet.servers[0]->port());
    EXPECT_FALSE(manifest["time"].toString().isEmpty());

    ASSERT_EQ(cli.run({"--tcp", fleet.address(1), "--pace", "reply", "--verify", "restore", dir}), 0)
        << cli.errors();
    SettingsModel expected = source.settings();
    expected.network = fresh.settings().network;
    EXPECT_EQ(testing::dump_unit_settings(fresh.settings()), testing::dump_unit_settings(expected));
    for (const GlyphSize* size : kGlyphSizes) {
        for (int s = 0; s < size->slot_count; ++s) {
            ASSERT_EQ(glyph_bank(fresh.glyphs(), *size)[s].substr(0, size->digits),
                      glyph_bank(source.glyphs(), *size)[s].substr(0, size->digits))
                << size->name << " " << s + 1;
        }
    }

    // A unit that answers GO to a glyph registration but keeps the old glyph: restore --verify names it.
    fresh.faults.forget_prefix = "GRM005";
    glyph_bank(fresh.glyphs(), kMedium)[4].assign(kMedium.text_length, '0');
    ASSERT_EQ(cli.run({"--tcp", fleet.address(1), "--pace", "reply", "--verify", "restore", dir}), 1);
    const std::string listed = cli.output();
    EXPECT_EQ(listed.substr(0, listed.find('\t', listed.find('\t', listed.find('\t') + 1) + 1)),
              fleet.address(1) + "\t中文字外字\tNo.5")
        << listed;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 1) << listed;

    // A backup that is not whole is refused before anything is sent.
    const int lines = fresh.lines_received();
    write_file_replacing(backup_bank_path(dir, kSmall), "0\r\n");
    EXPECT_EQ(cli.run({"--tcp", fleet.address(1), "restore", dir}), 1);
    EXPECT_EQ(fresh.lines_received(), lines);

    // A backup folder that holds something else (a folder in a bank's place) is not written over, since a
    // backup replaces the whole folder; nothing is read from the unit for it.
    ASSERT_EQ(cli.run({"--tcp", fleet.address(0), "--pace", "reply", "backup", dir}), 0) << cli.errors();
    std::filesystem::remove(backup_bank_path(dir, kLarge));
    std::filesystem::create_directory(backup_bank_path(dir, kLarge));
    const int asked = source.lines_received();
    EXPECT_EQ(cli.run({"--tcp", fleet.address(0), "--pace", "reply", "backup", dir}), 1);
    EXPECT_NE(cli.errors().find("no file of a backup (unit.tll)"), std::string::npos) << cli.errors();
    EXPECT_EQ(source.lines_received(), asked);
    EXPECT_EQ(cli.run({"--tcp", fleet.address(1), "restore", dir}), 1);
    EXPECT_NE(cli.errors().find("unit.tll: not a regular file"), std::string::npos) << cli.errors();
    EXPECT_EQ(fresh.lines_received(), lines);
}

TEST(CliManyUnits, AReportThatCannotBeWrittenFailsTheRunAndARunWithoutUnitsSaysWhy) {
    CliHarness cli;
    Files files;
    ASSERT_EQ(cli.run({"--listen", "127.0.0.1:0", "--units", "2", "--wait", "0.2", "--report",
                       files.path("r.json"), "send", "RVN"}),
              1);
    const QJsonObject report = read_report(files, "r.json");
    EXPECT_TRUE(report["units"].toArray().isEmpty());
    EXPECT_EQ(report["result"].toString(), "failed");
    EXPECT_TRUE(report["reason"].toString().startsWith("units not connected: 0 of 2"));
    EXPECT_EQ(report["exit_status"].toInt(), 1);

    // A report that could not be written is found out before anything is sent.
    UnitServers fleet(1);
    EXPECT_EQ(
        cli.run({"--tcp", fleet.address(0), "--report", files.path("no/such/folder/r.json"), "send", "RVN"}),
        1);
    EXPECT_NE(cli.errors().find("does not exist"), std::string::npos) << cli.errors();
    EXPECT_EQ(fleet.units[0]->lines_received(), 0);
}

}  // namespace
}  // namespace tvx
