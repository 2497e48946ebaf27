// The communication log: bounded history, rendering, filters and saving.
#include "link/comm_log.h"

#include <QCoreApplication>
#include <filesystem>

#include <gtest/gtest.h>

#include "config/safe_file.h"
#include "link/tcp_link.h"
#include "support/recording_notices.h"
#include "tcp_loopback.h"

namespace tvx {
namespace {

TEST(CommLog, RendersTimeDirectionLinkAndNonPrintableBytesAsHex) {
    CommLog log;
    log.record_at(0, TrafficDirection::kSent, "COM1 #03", std::string_view("03RVN\r\n"));
    log.record_at(1234, TrafficDirection::kReceived, "COM1 #03", std::string("03VN<1\x82\xA0\0\r\n", 11));
    log.record_at(5, TrafficDirection::kSent, "COM1", "");  // nothing went over the line

    ASSERT_EQ(log.entries().size(), 2u);
    const std::string first = render_entry(log.entries()[0]);
    // The time is local; its milliseconds and the rest of the line do not depend on the zone.
    EXPECT_EQ(first.substr(19), ".000  送信  COM1 #03  03RVN<0D><0A>");
    const std::string second = render_entry(log.entries()[1]);
    EXPECT_EQ(second.substr(19), ".234  受信  COM1 #03  03VN<3C>1<82><A0><00><0D><0A>");
    EXPECT_EQ(log.text(), first + "\n" + second + "\n");
    EXPECT_EQ(log.text(CommLogFilter::kSent), first + "\n");
    EXPECT_EQ(log.text(CommLogFilter::kReceived), second + "\n");
}

TEST(CommLog, KeepsTheNewestEntriesWithinItsCapacityAndTellsOfEachOne) {
    CommLog log(nullptr, 3);
    int told = 0;
    QObject::connect(&log, &CommLog::entry_added, [&told](const CommLogEntry&) { ++told; });
    for (int i = 0; i < 5; ++i) log.record_at(i, TrafficDirection::kSent, "x", std::to_string(i));
    ASSERT_EQ(log.entries().size(), 3u);
    EXPECT_EQ(log.entries().front().bytes, "2");
    EXPECT_EQ(log.entries().back().bytes, "4");
    EXPECT_EQ(log.dropped(), 2u);
    EXPECT_EQ(told, 5);
    EXPECT_EQ(CommLog().capacity(), 20000u);

    bool cleared = false;
    QObject::connect(&log, &CommLog::cleared, [&cleared] { cleared = true; });
    log.clear();
    EXPECT_TRUE(cleared);
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(log.dropped(), 0u);
}

TEST(CommLog, SavesWhatItRendersAndLeavesAnUnwritableTargetAlone) {
    CommLog log;
    auto observe = log.observer();
    observe(TrafficDirection::kSent, "127.0.0.1:10001", "RVN\r\n");
    observe(TrafficDirection::kReceived, "127.0.0.1:10001", "VN1.00\r\n");
    const auto dir = std::filesystem::temp_directory_path() / "tvx230_comm_log_test";
    std::filesystem::create_directories(dir);
    const auto path = dir / "log.txt";
    ASSERT_TRUE(log.save(path, CommLogFilter::kReceived));
    std::string saved;
    ASSERT_TRUE(read_whole_file(path, saved));
    EXPECT_EQ(saved, log.text(CommLogFilter::kReceived));
    EXPECT_FALSE(log.save(dir / "missing" / "log.txt"));
    std::filesystem::remove_all(dir);
}

TEST(CommLog, TheTcpLinkLogsWhatItSendsAndEveryChunkItHandsOverWithThePeer) {
    testing::ensure_event_loop();
    ToolState tool;
    testing::RecordingNotices notices;
    tool.config.link_interface = 1;
    tool.config.client_server = 0;
    tool.config.list_count = 1;
    tool.config.host_list[0] = {127, 0, 0, 1};
    tool.config.select_number = 0;
    QTcpServer unit_server;
    ASSERT_TRUE(unit_server.listen(QHostAddress::LocalHost, 0));
    tool.model.network.port_number = std::to_string(unit_server.serverPort());
    CommLog log;
    {
        TcpLink link(tool, notices);
        link.set_traffic_observer(log.observer());
        ASSERT_EQ(link.tcp_connect(), 1);
        ASSERT_TRUE(
            testing::wait_for([&] { return link.tcp_connected() && unit_server.hasPendingConnections(); }));
        QTcpSocket* unit = unit_server.nextPendingConnection();
        link.tcp_send("RVN\r\n");
        ASSERT_TRUE(testing::wait_for([&] { return unit->bytesAvailable() >= 5; }));
        unit->write("VN1.00\r\n");
        ASSERT_TRUE(testing::wait_for([&] { return log.entries().size() == 2; }));
        unit->abort();
    }
    const std::string peer = "127.0.0.1:" + std::to_string(unit_server.serverPort());
    EXPECT_EQ(log.entries()[0].direction, TrafficDirection::kSent);
    EXPECT_EQ(log.entries()[0].link, peer);
    EXPECT_EQ(log.entries()[0].bytes, "RVN\r\n");
    EXPECT_EQ(log.entries()[1].direction, TrafficDirection::kReceived);
    EXPECT_EQ(log.entries()[1].bytes, "VN1.00\r\n");
}

}  // namespace
}  // namespace tvx
