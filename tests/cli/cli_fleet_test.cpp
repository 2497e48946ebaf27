#include <algorithm>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;

// Units that connect to the tool's server, each with settings of its own.
class Fleet {
  public:
    explicit Fleet(int count) {
        for (int i = 0; i < count; ++i) {
            auto unit = std::make_unique<VirtualUnit>();
            unit->settings() = testing::random_model(100 + static_cast<unsigned>(i));
            unit->settings().network = NetworkSettings{};
            unit->settings().network.version_number = "V" + std::to_string(i) + ".0";
            for (int p = 0; p < kPageCount; ++p) unit->set_title(p, unit->settings().pages[p].title);
            units.push_back(std::move(unit));
        }
    }
    // A client destroyed while connected would restart its retry timer from its own destructor.
    ~Fleet() { stop(); }
    void stop() {
        for (auto& client : clients) client->stop();
    }

    // Connects the first count units (all when count is -1) to the port.
    void connect_to(quint16 port, int count = -1) {
        const std::size_t n = count < 0 ? units.size() : static_cast<std::size_t>(count);
        for (std::size_t i = 0; i < n; ++i) {
            auto client = std::make_unique<UnitTcpClient>(*units[i], "127.0.0.1", port);
            client->set_retry_ms(20);
            client->start();
            clients.push_back(std::move(client));
        }
    }

    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::unique_ptr<UnitTcpClient>> clients;
};

std::vector<std::string> listen_args(int units, std::vector<std::string> command) {
    std::vector<std::string> arguments{"--listen", "127.0.0.1:0", "--units", std::to_string(units), "--wait",
                                       "5",        "--pace",      "reply",   "--reply-timeout",     "0.5"};
    arguments.insert(arguments.end(), command.begin(), command.end());
    return arguments;
}

TEST(CliFleet, ReadBackFromEveryUnitAtOnceIntoOneFileEach) {
    CliHarness cli;
    Files files;
    Fleet fleet(3);
    ASSERT_EQ(cli.run(listen_args(3, {"read-back", "-o", files.path("unit{n}.dat")}),
                      [&fleet](quint16 port) { fleet.connect_to(port); }),
              0)
        << cli.errors();
    // Units are numbered in the order they connected; every unit's document is there once.
    std::set<std::string> expected;
    for (const auto& unit : fleet.units) expected.insert(write_document(unit->settings()));
    std::set<std::string> written;
    for (int n = 1; n <= 3; ++n) written.insert(files.read("unit" + std::to_string(n) + ".dat"));
    EXPECT_EQ(written, expected);
    EXPECT_NE(cli.errors().find("read-back: 3 of 3 units succeeded"), std::string::npos) << cli.errors();
}

TEST(CliFleet, SendAllAndSendReachEveryUnitAndRepliesAreNumbered) {
    CliHarness cli;
    Files files;
    Fleet fleet(4);
    SettingsModel document = testing::random_model(9);
    document.network = NetworkSettings{};
    const std::string in = files.write("all.dat", write_document(document));
    ASSERT_EQ(cli.run(listen_args(4, {"send-all", in}), [&fleet](quint16 port) { fleet.connect_to(port); }),
              0)
        << cli.errors();
    for (const auto& unit : fleet.units) {
        SettingsModel held = document;
        held.network.version_number = unit->settings().network.version_number;
        held.network.mac_address = unit->settings().network.mac_address;
        EXPECT_EQ(testing::dump_unit_settings(unit->settings()), testing::dump_unit_settings(held));
    }

    fleet.stop();  // none of them may reach the next server
    Fleet second(2);
    ASSERT_EQ(cli.run(listen_args(2, {"send", "RVN"}), [&second](quint16 port) { second.connect_to(port); }),
              0);
    // Each reply after its unit's address as the server saw it.
    const std::string out = cli.output();
    std::set<std::string> replies;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.rfind("127.0.0.1:", 0), 0u) << out;
        replies.insert(line.substr(line.find('\t') + 1));
    }
    EXPECT_EQ(replies, (std::set<std::string>{"VNV0.0", "VNV1.0"})) << out;
}

TEST(CliFleet, OneFailingUnitFailsTheRunAndTheOthersFinish) {
    CliHarness cli;
    Files files;
    Fleet fleet(3);
    fleet.units[1]->faults.error_at_line = 20;
    ASSERT_EQ(cli.run(listen_args(3, {"read-back", "-o", files.path("u{n}.dat")}),
                      [&fleet](quint16 port) { fleet.connect_to(port); }),
              1);
    int written = 0;
    for (int n = 1; n <= 3; ++n) written += files.exists("u" + std::to_string(n) + ".dat") ? 1 : 0;
    EXPECT_EQ(written, 2);
    EXPECT_EQ(fleet.units[1]->lines_received(), 20);
    EXPECT_NE(cli.errors().find("read-back: 2 of 3 units succeeded"), std::string::npos) << cli.errors();
}

TEST(CliFleet, UnitsThatDoNotAllComeInTimeFailTheRunWithNothingSent) {
    CliHarness cli;
    Fleet fleet(3);
    std::vector<std::string> arguments = listen_args(3, {"send", "RVN"});
    arguments[5] = "0.4";  // --wait
    ASSERT_EQ(cli.run(arguments, [&fleet](quint16 port) { fleet.connect_to(port, 2); }), 1);
    EXPECT_NE(cli.errors().find("units not connected: 2 of 3"), std::string::npos) << cli.errors();
    for (const auto& unit : fleet.units) EXPECT_EQ(unit->lines_received(), 0);
}

}  // namespace
}  // namespace tvx
