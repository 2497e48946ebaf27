#include "editors/link_status.h"

#include <gtest/gtest.h>

namespace tvx {
namespace {

LinkSnapshot serial(bool open, bool awaiting = false) {
    LinkSnapshot link;
    link.port = "COM1";
    link.device = "/dev/ttyUSB0";
    link.open = open;
    link.awaiting_device = awaiting;
    return link;
}

LinkSnapshot tcp(LinkSnapshot::Kind kind, bool up, int clients = 0) {
    LinkSnapshot link;
    link.kind = kind;
    link.host = "192.168.1.20";
    link.tcp_port = "09004";
    link.connected = up;
    link.listening = up;
    link.clients = clients;
    return link;
}

TEST(LinkStatus, TheLinkIsToldWithItsPortOrHostAndItsState) {
    LinkSnapshot rs485 = serial(true);
    rs485.rs_control = 1;
    rs485.slave_address = 5;
    LinkSnapshot broadcast = rs485;
    broadcast.slave_address = kBroadcastAddress;
    LinkSnapshot no_host = tcp(LinkSnapshot::Kind::kTcpClient, false);
    no_host.host.clear();
    const struct {
        LinkSnapshot link;
        std::string text;
    } cases[] = {
        {rs485, "COM1 /dev/ttyUSB0 38400 8E1 RS-485 05"},
        {broadcast, "COM1 /dev/ttyUSB0 38400 8E1 RS-485 Bloadcast"},
        {serial(true), "COM1 /dev/ttyUSB0 38400 8E1 RS-232C"},
        {serial(false, true), "COM1 /dev/ttyUSB0 外れています (戻れば開き直します)"},
        {serial(false), "COM1 /dev/ttyUSB0 閉じています"},
        {tcp(LinkSnapshot::Kind::kTcpClient, true), "TCP 192.168.1.20:9004 接続中"},
        {tcp(LinkSnapshot::Kind::kTcpClient, false), "TCP 192.168.1.20:9004 未接続"},
        {no_host, "TCP (ホスト未選択):9004 未接続"},
        {tcp(LinkSnapshot::Kind::kTcpServer, true, 12), "サーバー :9004 12 台接続"},
        {tcp(LinkSnapshot::Kind::kTcpServer, false), "サーバー 停止中"},
    };
    for (const auto& c : cases) EXPECT_EQ(link_status_text(c.link), c.text);
}

TEST(LinkStatus, TheConfigurationGivesThePortOrTheChosenHost) {
    ToolState tool;
    tool.config.com_port = 1;
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 3;
    LinkSnapshot link = configured_link(tool);
    EXPECT_EQ(link.kind, LinkSnapshot::Kind::kSerial);
    EXPECT_EQ(link.port, "COM2");
    EXPECT_EQ(link.slave_address, 3);

    tool.config.link_interface = 1;
    tool.config.list_count = 2;
    tool.config.host_list[1] = {10, 0, 0, 7};
    tool.config.select_number = 1;
    link = configured_link(tool);
    EXPECT_EQ(link.kind, LinkSnapshot::Kind::kTcpClient);
    EXPECT_EQ(link.host, "10.0.0.7");
    EXPECT_EQ(link.tcp_port, "09004");
    tool.config.select_number = 2;  // beyond the list: no host, rather than a stale one
    EXPECT_EQ(configured_link(tool).host, "");
    tool.config.client_server = 1;
    EXPECT_EQ(configured_link(tool).kind, LinkSnapshot::Kind::kTcpServer);
}

TEST(LinkStatus, TheWatchTellsTheMomentsTheLinkGoesAndComesBack) {
    LinkStatusWatch watch;
    EXPECT_EQ(watch.update(serial(true)), std::nullopt);  // the first look tells nothing
    EXPECT_EQ(watch.update(serial(true)), std::nullopt);
    EXPECT_EQ(watch.update(serial(false, true)), "COM1 /dev/ttyUSB0 が外れました");
    EXPECT_EQ(watch.update(serial(false, true)), std::nullopt);
    EXPECT_EQ(watch.update(serial(true)), "COM1 /dev/ttyUSB0 を開き直しました");
    LinkSnapshot other = serial(false);
    other.port = "COM2";
    EXPECT_EQ(watch.update(other), std::nullopt);  // another port chosen: the operator's own doing

    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpClient, false)), std::nullopt);
    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpClient, true)), "TCP 192.168.1.20:9004 に接続しました");
    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpClient, false)), "TCP 192.168.1.20:9004 の接続が切れました");

    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpServer, false)), std::nullopt);
    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpServer, true)), "サーバーを開始しました");
    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpServer, true, 2)), "ユニットが接続しました (2 台)");
    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpServer, true, 1)), "ユニットが切断しました (1 台)");
    EXPECT_EQ(watch.update(tcp(LinkSnapshot::Kind::kTcpServer, false)), "サーバーを停止しました");
}

TEST(LinkStatus, DocumentAndResultTexts) {
    EXPECT_EQ(document_status_text("/home/op/unit5.dat", true), "unit5.dat *");
    EXPECT_EQ(document_status_text("C:\\data\\unit5.dat", false), "unit5.dat");
    EXPECT_EQ(document_status_text("", true), "(無題) *");
    EXPECT_EQ(result_text("Error", "No Connect"), "Error: No Connect");
    EXPECT_EQ(result_text("", "Success"), "Success");
    EXPECT_EQ(result_text("Success", "Success"), "Success");
    EXPECT_EQ(result_text("Error", "ステップ 40 で中断しました。\n詳細"), "Error: ステップ 40 で中断しました。");
}

}  // namespace
}  // namespace tvx
