#include <gtest/gtest.h>

#include "cli_harness.h"
#include "protocol/full_send_sequence.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/read_back_sequence.h"
#include "support/pty_pair.h"
#include "unit/pty_port.h"
#include "unit/unit_serial_host.h"
#include "unit/unit_session.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;
using testing::round_trip_model;

// The far end of the serial line is the virtual unit on a pseudo-terminal of its own.
class CliOverSerial : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_unit_application();
        unit.rs485 = GetParam();
        unit.address = 5;
        testing::record_lines(unit, received);
        QString error;
        ASSERT_TRUE(host.open(error)) << error.toStdString();
    }

    std::vector<std::string> link() const {
        std::vector<std::string> arguments{
            "--serial", host.slave_path().toStdString(), "--pace", "reply", "--reply-timeout", "0.5"};
        if (unit.rs485) arguments.insert(arguments.end(), {"--rs485", "5"});
        return arguments;
    }
    int run(std::vector<std::string> arguments) {
        std::vector<std::string> all = link();
        all.insert(all.end(), arguments.begin(), arguments.end());
        return cli.run(all);
    }

    VirtualUnit unit;
    UnitPtyHost host{unit};
    std::vector<std::string> received;
    CliHarness cli;
    Files files;
};

TEST_P(CliOverSerial, SendAllAndReadBackOnRs232cAndOnRs485AddressFive) {
    const SettingsModel sent = round_trip_model(GetParam() ? 485 : 232);
    const std::string document = write_document(sent);
    ASSERT_EQ(run({"send-all", files.write("in.dat", document)}), 0) << cli.errors();
    const std::string prefix = unit.rs485 ? "05" : "";
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kFullSendSteps - 1));
    for (int step = 1; step < kFullSendSteps; ++step)
        ASSERT_EQ(received[step - 1], prefix + *full_send_command(sent, step)) << step;
    // A pseudo-terminal takes no parity; it is no real line, so nothing is said and the work goes on.
    EXPECT_EQ(cli.errors().find("Miss! Set Comm State"), std::string::npos);

    received.clear();
    ASSERT_EQ(run({"read-back", "-o", files.path("back.dat")}), 0) << cli.errors();
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kReadBackSteps));
    EXPECT_EQ(received.back(), prefix + "RVN\r\n");
    EXPECT_EQ(files.read("back.dat"), document);

    ASSERT_EQ(run({"send", "RVN"}), 0);
    // The label is the address as written, or the device; the reply without its address.
    const std::string label = unit.rs485 ? "05" : host.slave_path().toStdString();
    EXPECT_EQ(cli.output(), label + "\tVN" + unit.settings().network.version_number + "\n");
}

INSTANTIATE_TEST_SUITE_P(Rs232cAndRs485, CliOverSerial, ::testing::Values(false, true));

// The far end played by the test: every byte the tool writes is seen as written.
class CliOnBareLine : public ::testing::Test {
  protected:
    void SetUp() override {
        TVX_NEEDS_PTY();
        testing::ensure_unit_application();
        ASSERT_TRUE(pty.ok());
    }
    testing::PtyPair pty;
    CliHarness cli;
    Files files;
};

TEST_F(CliOnBareLine, BroadcastSendsEveryLineWithFfAndWaitsForNoAnswer) {
    const SettingsModel sent = round_trip_model(3);
    std::string expected;
    for (int step = 1; step < kFullSendSteps; ++step) expected += "FF" + *full_send_command(sent, step);
    ASSERT_TRUE(cli.start({"--serial", pty.slave_path(), "--rs485", "broadcast", "--pace", "reply",
                           "send-all", files.write("in.dat", write_document(sent))}));
    EXPECT_EQ(pty.read(expected.size()), expected);
    EXPECT_EQ(cli.wait(), 0) << cli.errors();

    // Nobody answers a broadcast, so nothing can be read by it.
    EXPECT_EQ(
        cli.run({"--serial", pty.slave_path(), "--rs485", "broadcast", "read-back", "-o", files.path("r")}),
        1);
    EXPECT_NE(cli.errors().find("スレーブアドレスを00から31の間で選択してください"), std::string::npos);
    EXPECT_EQ(cli.run({"--serial", pty.slave_path(), "--rs485", "broadcast", "send", "CFS01L"}), 0);
    EXPECT_EQ(pty.read_for(std::chrono::milliseconds(50)), "FFCFS01L\r\n");
}

TEST_F(CliOnBareLine, NoAnswerEndsTheSequenceAfterItsFirstLine) {
    ASSERT_TRUE(cli.start({"--serial", pty.slave_path(), "--rs485", "7", "--pace", "30", "--reply-timeout",
                           "0.3", "read-back", "-o", files.path("r.dat")}));
    EXPECT_EQ(cli.wait(), 1);
    EXPECT_EQ(pty.read_for(std::chrono::milliseconds(50)), "07RCA01\r\n");
    EXPECT_NE(cli.errors().find("No Connect"), std::string::npos) << cli.errors();
    EXPECT_FALSE(files.exists("r.dat"));

    // A garbled answer that never ends its line is no answer either.
    ASSERT_TRUE(cli.start({"--serial", pty.slave_path(), "--reply-timeout", "0.3", "send", "RVN"}));
    EXPECT_EQ(pty.read(5), "RVN\r\n");
    pty.write(std::string(3000, 'x'));
    EXPECT_EQ(cli.wait(), 1);

    EXPECT_EQ(cli.run({"--serial", files.path("no-such-device"), "send", "RVN"}), 1);
    EXPECT_NE(cli.errors().find("Miss! File Open"), std::string::npos);
}

TEST(CliOnOneBus, TheUnitsOfAnAddressListTakeTurnsAndAMissingOneFailsAlone) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    PtyPort line;
    ASSERT_TRUE(line.open()) << line.error();
    // Units 1, 3 and 5 on one bus; nobody has address 4.
    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::unique_ptr<UnitSession>> sessions;
    std::vector<int> order;
    for (const int address : {1, 3, 5}) {
        auto unit = std::make_unique<VirtualUnit>();
        unit->rs485 = true;
        unit->address = address;
        // Every unit sees every line of the bus; it answers its own.
        unit->observer = [&order, address](std::string_view, const std::optional<std::string>& answer) {
            if (answer) order.push_back(address);
        };
        auto session =
            std::make_unique<UnitSession>(*unit, [&line](const QByteArray& bytes) { line.write(bytes); });
        QObject::connect(&line, &PtyPort::received, session.get(), &UnitSession::feed);
        units.push_back(std::move(unit));
        sessions.push_back(std::move(session));
    }
    CliHarness cli;
    Files files;
    const SettingsModel sent = round_trip_model(14);
    ASSERT_EQ(cli.run({"--serial", line.slave_path(), "--rs485", "1,3-5", "--pace", "reply",
                       "--reply-timeout", "0.3", "send-all", files.write("in.dat", write_document(sent))}),
              1);
    for (const auto& unit : units) {
        SettingsModel held = sent;
        held.network = unit->settings().network;
        EXPECT_EQ(testing::dump_unit_settings(unit->settings()), testing::dump_unit_settings(held))
            << unit->address;
    }
    // One unit after another: the lines of one address are not mixed with another's.
    std::vector<int> turns;
    for (const int address : order) {
        if (turns.empty() || turns.back() != address) turns.push_back(address);
    }
    EXPECT_EQ(turns, (std::vector<int>{1, 3, 5}));
    const std::string errors = cli.errors();
    EXPECT_NE(errors.find("unit 3 " + line.slave_path() + " address 04: failed"), std::string::npos)
        << errors;
    EXPECT_NE(errors.find("send-all: 3 of 4 units succeeded"), std::string::npos) << errors;
}

}  // namespace
}  // namespace tvx
