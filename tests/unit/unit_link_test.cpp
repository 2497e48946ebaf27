#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "support/pty_pair.h"
#include "support/recording_notices.h"
#include "unit/unit_event_loop.h"
#include "unit/unit_script.h"
#include "unit/unit_serial_host.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

using testing::RecordingNotices;
using testing::run_until;

// The model a unit holds after being sent `sent`: what it reports of itself comes from the unit.
SettingsModel as_held_by(SettingsModel sent, const VirtualUnit& unit) {
    sent.network.version_number = unit.settings().network.version_number;
    sent.network.mac_address = unit.settings().network.mac_address;
    return sent;
}

// The tool on the serial line: a serial link on the unit's pseudo-terminal, lines sent one at a time,
// each after the answer to the one before has been handled.
class SerialTool {
  public:
    SerialTool(const QString& device, int rs_control, int slave_address)
        : link_(tool, notices), dispatch_(tool, notices) {
        tool.config.link_interface = 0;
        tool.config.rs_control = rs_control;
        tool.model.run.slave_address = slave_address;
        tool.model.run.batch_step = 1;  // as inside a sequence: no success notices
        link_.open_serial_port(device.toStdString());
        dispatch_.set_serial(&link_);
    }

    // False when an answer that is due does not come within the deadline.
    bool send(const std::string& line, std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
        dispatch_.send_command(line);
        return run_until([this] { return tool.link.reply_expected == 0; }, deadline);
    }

    ToolState tool;
    RecordingNotices notices;

  private:
    SerialLink link_;
    LinkDispatch dispatch_;
};

class SerialRoundTrip : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { testing::ensure_unit_application(); }
};

TEST_P(SerialRoundTrip, ModelSentAndReadBackOverAPseudoTerminal) {
    TVX_NEEDS_PTY();
    const bool rs485 = GetParam();
    VirtualUnit unit;
    unit.rs485 = rs485;
    unit.address = 9;
    UnitPtyHost host(unit);
    QString error;
    ASSERT_TRUE(host.open(error)) << error.toStdString();
    const SettingsModel sent = testing::random_model(rs485 ? 485 : 232);

    {
        SerialTool tool(host.slave_path(), rs485 ? 1 : 0, 9);
        for (const std::string& line : testing::send_all_lines(sent)) {
            ASSERT_TRUE(tool.send(line)) << line.substr(0, 12);
            ASSERT_EQ(tool.tool.link.error_reply, 0) << line.substr(0, 12);
        }
        // A pseudo-terminal cannot take even parity: the link works on without a notice.
        EXPECT_TRUE(tool.notices.texts("error").empty());
    }
    EXPECT_EQ(testing::dump_unit_settings(as_held_by(sent, unit)),
              testing::dump_unit_settings(unit.settings()));

    SerialTool reader(host.slave_path(), rs485 ? 1 : 0, 9);
    for (const std::string& line : testing::read_all_lines()) {
        ASSERT_TRUE(reader.send(line)) << line;
        ASSERT_EQ(reader.tool.link.error_reply, 0) << line;
    }
    EXPECT_EQ(testing::dump_unit_settings(as_held_by(sent, unit)),
              testing::dump_unit_settings(reader.tool.model));
}

INSTANTIATE_TEST_SUITE_P(Rs232cAndRs485, SerialRoundTrip, ::testing::Values(false, true));

TEST(SerialUnit, BroadcastIsCarriedOutWithoutAnswerAndOtherAddressesAreIgnored) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.rs485 = true;
    unit.address = 3;
    UnitPtyHost host(unit);
    QString error;
    ASSERT_TRUE(host.open(error));
    SerialTool tool(host.slave_path(), 1, kBroadcastAddress);
    tool.tool.model.run.batch_step = 0;
    ASSERT_TRUE(tool.send("CFS01S\r\n"));  // nothing expected
    ASSERT_TRUE(run_until([&unit] { return unit.settings().pages[0].char_size == 2; }));

    tool.tool.model.run.slave_address = 4;
    EXPECT_FALSE(tool.send("CFS01L\r\n", std::chrono::milliseconds(300)));  // unit 4 is not there
    EXPECT_EQ(unit.settings().pages[0].char_size, 2);

    tool.tool.model.run.slave_address = 3;
    ASSERT_TRUE(tool.send("CFS01M\r\n"));
    EXPECT_EQ(tool.tool.link.success_pending, 1);
    EXPECT_EQ(unit.settings().pages[0].char_size, 1);
}

TEST(SerialUnit, InjectedErrorsReachTheOperatorAndSplitAnswersAreJoined) {
    TVX_NEEDS_PTY();
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.faults.error_at_line = 2;
    unit.faults.piece_size = 7;
    unit.faults.piece_gap_ms = 5;
    UnitPtyHost host(unit);
    QString error;
    ASSERT_TRUE(host.open(error));
    SerialTool tool(host.slave_path(), 0, 0);
    tool.notices.clear();
    ASSERT_TRUE(tool.send("RCFS\r\n"));
    EXPECT_EQ(tool.tool.model.pages[63].char_size, 1);
    ASSERT_TRUE(tool.send("CFS01S\r\n"));
    EXPECT_EQ(tool.tool.link.error_reply, 1);
    EXPECT_EQ(tool.notices.texts("error"), std::vector<std::string>{"Command Error"});
}

// The tool as TCP client of a unit that listens.
class TcpTool {
  public:
    TcpTool() : link(tool, notices), dispatch_(tool, notices) {
        tool.config.link_interface = 1;
        tool.model.run.batch_step = 1;
        dispatch_.set_tcp(&link);
    }

    bool connect_to(quint16 port) {
        tool.config.client_server = 0;
        tool.config.list_count = 1;
        tool.config.select_number = 0;
        tool.config.host_list[0] = {127, 0, 0, 1};
        tool.model.network.port_number = std::to_string(port);
        return link.tcp_connect() == 1 && run_until([this] { return link.tcp_connected(); });
    }

    bool send(const std::string& line) {
        dispatch_.send_command(line);
        return run_until([this] { return !link.answer_pending(); });
    }

    ToolState tool;
    RecordingNotices notices;
    TcpLink link;

  private:
    LinkDispatch dispatch_;
};

TEST(TcpRoundTrip, ToolAsClientOfTheUnit) {
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.faults.piece_size = 300;  // long answers come in pieces
    unit.faults.piece_gap_ms = 2;
    UnitTcpServer server(unit);
    QString error;
    ASSERT_TRUE(server.listen(0, error)) << error.toStdString();
    const SettingsModel sent = testing::random_model(1234);

    TcpTool tool;
    ASSERT_TRUE(tool.connect_to(server.port()));
    for (const std::string& line : testing::send_all_lines(sent)) {
        ASSERT_TRUE(tool.send(line)) << line.substr(0, 12);
        ASSERT_EQ(tool.tool.link.error_reply, 0) << line.substr(0, 12);
    }
    EXPECT_EQ(testing::dump_unit_settings(as_held_by(sent, unit)),
              testing::dump_unit_settings(unit.settings()));

    TcpTool reader;
    ASSERT_TRUE(reader.connect_to(server.port()));
    for (const std::string& line : testing::read_all_lines()) {
        ASSERT_TRUE(reader.send(line)) << line;
        ASSERT_EQ(reader.tool.link.error_reply, 0) << line;
    }
    // The port read back is the unit's, which is what the tool uses next time.
    EXPECT_EQ(testing::dump_unit_settings(as_held_by(sent, unit)),
              testing::dump_unit_settings(reader.tool.model));
    EXPECT_EQ(reader.notices.texts("warning"), std::vector<std::string>{});
}

TEST(TcpRoundTrip, UnitsConnectingToTheToolAsServer) {
    testing::ensure_unit_application();
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    TcpTool tool;
    tool.tool.config.client_server = 1;
    tool.tool.model.network.port_number = std::to_string(port);
    ASSERT_EQ(tool.link.tcp_start_server(), 1);

    VirtualUnit first_unit;
    VirtualUnit second_unit;
    UnitTcpClient first(first_unit, "127.0.0.1", port);
    UnitTcpClient second(second_unit, "127.0.0.1", port);
    first.start();
    ASSERT_TRUE(run_until([&] { return tool.link.clients_in_use() == 1; }));
    second.start();
    ASSERT_TRUE(run_until([&] { return tool.link.clients_in_use() == 2; }));

    ASSERT_TRUE(tool.link.tcp_select_client(2));
    const SettingsModel sent = testing::random_model(96);
    for (const std::string& line : testing::send_all_lines(sent)) {
        ASSERT_TRUE(tool.send(line)) << line.substr(0, 12);
        ASSERT_EQ(tool.tool.link.error_reply, 0) << line.substr(0, 12);
    }
    EXPECT_EQ(testing::dump_unit_settings(as_held_by(sent, second_unit)),
              testing::dump_unit_settings(second_unit.settings()));
    EXPECT_EQ(first_unit.lines_received(), 0);

    reset_settings(tool.tool);
    tool.tool.model.run.batch_step = 1;
    for (const std::string& line : testing::read_all_lines()) ASSERT_TRUE(tool.send(line)) << line;
    EXPECT_EQ(testing::dump_unit_settings(as_held_by(sent, second_unit)),
              testing::dump_unit_settings(tool.tool.model));

    first.stop();
    second.stop();
    tool.link.tcp_stop();
}

TEST(TcpUnit, ConnectionsToOneUnitJoinTheirOwnLines) {
    testing::ensure_unit_application();
    VirtualUnit unit;
    UnitTcpServer server(unit);
    QString error;
    ASSERT_TRUE(server.listen(0, error));
    QTcpSocket a;
    QTcpSocket b;
    a.connectToHost("127.0.0.1", server.port());
    b.connectToHost("127.0.0.1", server.port());
    ASSERT_TRUE(run_until([&] { return server.connections() == 2; }));
    a.write("CFS0");
    ASSERT_TRUE(run_until([&] { return a.bytesToWrite() == 0; }));
    b.write("RCI\r\n");
    ASSERT_TRUE(run_until([&] { return b.bytesAvailable() >= 5; }));
    a.write("1S\r\n");
    ASSERT_TRUE(run_until([&] { return a.bytesAvailable() >= 4; }));
    EXPECT_EQ(b.readAll(), "CIA\r\n");
    EXPECT_EQ(a.readAll(), "GO\r\n");
    EXPECT_EQ(unit.settings().pages[0].char_size, 2);
}

TEST(TcpUnit, SilentUnitLeavesTheAnswerToTheLinksTimeOut) {
    testing::ensure_unit_application();
    VirtualUnit unit;
    unit.faults.silent = true;
    UnitTcpServer server(unit);
    QString error;
    ASSERT_TRUE(server.listen(0, error));
    TcpTool tool;
    tool.link.set_answer_timeout_ms(200);
    ASSERT_TRUE(tool.connect_to(server.port()));
    ASSERT_TRUE(tool.send("RCFS\r\n"));
    EXPECT_EQ(tool.tool.link.error_reply, 1);
    EXPECT_EQ(unit.lines_received(), 1);
}

}  // namespace
}  // namespace tvx
