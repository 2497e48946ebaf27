#include "editors/network_settings_editor.h"

#include <gtest/gtest.h>

#include "editors/address_text.h"
#include "editors/editor_unit_link.h"
#include "protocol/recording_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using Choice = NetworkSettingsEditor::Choice;
using Tick = NetworkSettingsEditor::Tick;

TEST(NetworkAddressText, OnlyAWholeAddressOfOctetsUpTo255IsTaken) {
    EXPECT_EQ(parse_address_text("10.1.2.3"), (HostAddress{10, 1, 2, 3}));
    EXPECT_EQ(parse_address_text("192.168.001.003"), (HostAddress{192, 168, 1, 3}));
    EXPECT_EQ(parse_address_text("255.255.255.0"), (HostAddress{255, 255, 255, 0}));
    for (const char* refused : {"10.1.2.300", "256.0.0.0", "10.1..3", "10.1.2", "10.1.2.3.4", "1234.5.6.7",
                                "10.1.2.3 ", "a.1.2.3", "", "...", "10.1.2.-3"}) {
        EXPECT_EQ(parse_address_text(refused), std::nullopt) << refused;
    }
    EXPECT_EQ(dotted_address({192, 168, 1, 3}), "192.168.001.003");
}

class NetworkSettingsEditorTest : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingNotices notices;
    testing::RecordingLink link;
    NetworkSettingsEditor editor{tool, link, notices};
};

TEST_F(NetworkSettingsEditorTest, SetButtonsSendFromTheModel) {
    editor.send_address(AddressCommand::EIA, "10.1.2.3");
    EXPECT_EQ(tool.model.network.ip_address, (IPv4Octets{10, 1, 2, 3}));
    EXPECT_EQ(editor.address_text(AddressCommand::EIA), "010.001.002.003");
    editor.select(Choice::kSubnetMask, 1);
    EXPECT_EQ(link.lines.size(), 1u);  // choosing alone sends nothing
    editor.send(Choice::kSubnetMask);
    editor.select(Choice::kTimeRegister, 0);
    editor.send(Choice::kTimeRegister);
    editor.select(Choice::kKeepAlive, 1);
    editor.send(Choice::kKeepAlive);
    editor.set_port_text("09005x");
    EXPECT_EQ(tool.model.network.port_number, "09005");  // the next TCP connection's port too
    editor.send_port();
    EXPECT_EQ(link.lines, (std::vector<std::string>{"EIA010.001.002.003\r\n", "ESMB\r\n", "ETR1\r\n",
                                                    "EKAON\r\n", "EPN09005\r\n"}));
    editor.set_port_text("9a");
    EXPECT_FALSE(editor.send_port());
    EXPECT_EQ(notices.texts("error").size(), 1u);
    EXPECT_EQ(NetworkSettingsEditor::items(Choice::kTimeRegister)[5], " 6");

    // An octet above 255 is neither cut to its low bits nor stored: the operator is told.
    EXPECT_FALSE(editor.send_address(AddressCommand::EGA, "10.1.2.300"));
    EXPECT_FALSE(editor.send_address(AddressCommand::EGA, "10.1..3"));
    EXPECT_EQ(link.lines.size(), 5u);
    EXPECT_EQ(tool.model.network.gateway_address, ToolState{}.model.network.gateway_address);
    EXPECT_EQ(notices.count("error", std::string(kAddressRefused)), 2);
    tool.config.select_number = -1;
    EXPECT_EQ(editor.window_title("10.0.0.9"), "プロトコル");
}

TEST_F(NetworkSettingsEditorTest, ReadSendsTenReadsThenAQuietTickAndEndsEveryWay) {
    tool.link.error_reply = 1;  // stale
    ASSERT_TRUE(editor.start_read());
    EXPECT_FALSE(editor.start_read());  // a second press starts nothing
    EXPECT_FALSE(editor.close_enabled());
    std::vector<Tick> ticks;
    for (int i = 0; i < 12 && editor.reading(); ++i) {
        ticks.push_back(editor.tick());
        if (link.lines.size() == 10u && editor.reading()) {
            EXPECT_TRUE(editor.close_enabled());
        }
    }
    ASSERT_EQ(ticks.size(), 12u);
    EXPECT_EQ(ticks[10], Tick::kSent);  // the quiet step
    EXPECT_EQ(ticks[11], Tick::kCompleted);
    ASSERT_EQ(link.lines.size(), 10u);
    EXPECT_EQ(link.lines.front(), "REAA\r\n");
    EXPECT_EQ(link.lines.back(), "RVN\r\n");
    EXPECT_EQ(tool.model.run.batch_step, 0);

    // Closed in the middle.
    ASSERT_TRUE(editor.start_read());
    editor.tick();
    editor.close_editor();
    EXPECT_EQ(tool.model.run.batch_step, 0);

    // Stopped by an error.
    link.lines.clear();
    ASSERT_TRUE(editor.start_read());
    editor.tick();
    tool.link.error_reply = 1;
    EXPECT_EQ(editor.tick(), Tick::kStopped);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_TRUE(editor.close_enabled());
}

TEST_F(NetworkSettingsEditorTest, BroadcastReadIsRefusedOnRs485) {
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    EXPECT_FALSE(editor.start_read());
    EXPECT_EQ(notices.texts("error").size(), 1u);
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(tool.model.run.batch_step, 0);
    tool.model.run.slave_address = 3;
    EXPECT_TRUE(editor.start_read());
}

TEST(NetworkSettingsEditorUnit, CompleteReadBringsTheUnitsSettingsIntoTheModel) {
    ToolState tool;
    testing::RecordingNotices notices;
    testing::EditorUnitLink link{tool, notices};
    NetworkSettings& unit = link.unit.settings().network;
    unit.ip_address = {192, 168, 1, 3};
    unit.gateway_address = {192, 168, 1, 1};
    unit.active_address = {10, 0, 0, 7};
    unit.subnet_class = 1;
    unit.port_number = "10001";
    unit.connection_try = 1;
    unit.keep_alive = 1;
    unit.time_register = 2;
    unit.mac_address = "00-11-22-AA-BB-CC";
    unit.version_number = "1.23";

    NetworkSettingsEditor editor(tool, link, notices);
    ASSERT_TRUE(editor.start_read());
    while (editor.reading()) editor.tick();
    const NetworkSettings& model = tool.model.network;
    EXPECT_EQ(model.ip_address, unit.ip_address);
    EXPECT_EQ(model.gateway_address, unit.gateway_address);
    EXPECT_EQ(model.active_address, unit.active_address);
    EXPECT_EQ(model.subnet_class, 1);
    EXPECT_EQ(model.port_number, "10001");
    EXPECT_EQ(model.connection_try, 1);
    EXPECT_EQ(model.keep_alive, 1);
    EXPECT_EQ(model.time_register, 2);
    EXPECT_EQ(editor.mac_text(), "00-11-22-AA-BB-CC");
    EXPECT_EQ(editor.version_text(), "1.23");
    EXPECT_EQ(tool.link.error_reply, 0);

    // Each set button changes the unit.
    editor.select(Choice::kSubnetMask, 2);
    editor.send(Choice::kSubnetMask);
    editor.send_address(AddressCommand::EGA, "10.0.0.254");
    EXPECT_EQ(unit.subnet_class, 2);
    EXPECT_EQ(unit.gateway_address, (IPv4Octets{10, 0, 0, 254}));
}

}  // namespace
}  // namespace tvx
