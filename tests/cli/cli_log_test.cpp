#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "link/comm_log.h"
#include "protocol/read_back_sequence.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CliLog, ReadBackLogsEveryCommandAndAnswerInOrderWithBothDirections) {
    CliHarness cli;  // first: it makes the application the unit's server needs
    VirtualUnit unit;
    std::vector<std::string> exchanged;  // command, answer, command, answer...
    unit.observer = [&exchanged](std::string_view line, const std::optional<std::string>& answer) {
        exchanged.emplace_back(line);
        exchanged.push_back(answer.value_or(""));
    };
    UnitTcpServer server{unit};
    QString error;
    ASSERT_TRUE(server.listen(0, error)) << error.toStdString();
    const std::string peer = "127.0.0.1:" + std::to_string(server.port());

    Files files;
    ASSERT_EQ(cli.run({"--tcp", peer, "--pace", "reply", "--log", files.path("run.log"), "read-back", "-o",
                       files.path("back.dat")}),
              0)
        << cli.errors();

    const std::vector<std::string> lines = lines_of(files.read("run.log"));
    ASSERT_EQ(exchanged.size(), static_cast<std::size_t>(2 * kReadBackSteps));
    ASSERT_EQ(lines.size(), exchanged.size());
    const std::regex shape(R"((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})  (送信|受信)  (\S+)  (.*))");
    std::string previous_time;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, shape)) << lines[i];
        EXPECT_GE(m[1].str(), previous_time) << lines[i];
        previous_time = m[1].str();
        EXPECT_EQ(m[2].str(), i % 2 == 0 ? "送信" : "受信") << lines[i];
        EXPECT_EQ(m[3].str(), peer);
        EXPECT_EQ(m[4].str(), printable_bytes(exchanged[i])) << lines[i];
    }
    EXPECT_EQ(lines[0].substr(25), "送信  " + peer + "  " + printable_bytes(read_back_command(1)));
}

TEST(CliLog, TheServerRoleLogsEachUnitByItsPeer) {
    VirtualUnit unit;
    unit.settings().network.version_number = "1.23";
    std::unique_ptr<UnitTcpClient> client;
    Files files;
    CliHarness cli;
    ASSERT_EQ(cli.run({"--listen", "127.0.0.1:0", "--wait", "5", "--reply-timeout", "0.5", "--log",
                       files.path("server.log"), "send", "RVN"},
                      [&](quint16 port) {
                          client = std::make_unique<UnitTcpClient>(unit, "127.0.0.1", port);
                          client->set_retry_ms(20);
                          client->start();
                      }),
              0)
        << cli.errors();
    client->stop();
    const std::vector<std::string> lines = lines_of(files.read("server.log"));
    ASSERT_EQ(lines.size(), 2u) << files.read("server.log");
    const std::regex sent(R"(.{23}  送信  127\.0\.0\.1:\d+  RVN<0D><0A>)");
    const std::regex received(R"(.{23}  受信  127\.0\.0\.1:\d+  VN1\.23<0D><0A>)");
    EXPECT_TRUE(std::regex_match(lines[0], sent)) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], received)) << lines[1];
}

TEST(CliLog, ALogThatCannotBeWrittenFailsTheRun) {
    Files files;
    CliHarness cli;
    // The log's folder is missing: the run stops before it reaches for a unit.
    EXPECT_EQ(cli.run({"--tcp", "127.0.0.1:1", "--reply-timeout", "0.3", "--log",
                       files.path("no/such/folder/run.log"), "send", "RVN"}),
              1);
    EXPECT_NE(cli.errors().find("run.log: the folder"), std::string::npos) << cli.errors();
}

TEST(CliLog, OfflineCommandsTakeNoLog) {
    EXPECT_FALSE(parse_cli_options({"--log", "x.log", "diff", "a.dat", "b.dat"}).options);
    EXPECT_FALSE(parse_cli_options({"--tcp", "h", "--log", "", "send", "RVN"}).options);
    const CliParse parsed = parse_cli_options({"--tcp", "h", "--log=x.log", "send", "RVN"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->log, "x.log");
}

}  // namespace
}  // namespace tvx
