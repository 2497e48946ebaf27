#include <QCoreApplication>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editors/fleet_controller.h"
#include "link/tcp_loopback.h"
#include "support/recording_notices.h"
#include "unit/unit_tcp_hosts.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

using testing::wait_for;
using Command = FleetController::Command;
using UnitState = FleetController::UnitState;

// The desktop tool's server with virtual units connected to it, each a client of its own.
class FleetControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ensure_event_loop();
        reset_settings(tool);
        tool.config.link_interface = 1;
        tool.config.client_server = 1;
        tool.config.pace = 1;  // 高速: each step as soon as the answer before it has come
        port = testing::unused_port();
        tool.model.network.port_number = std::to_string(port);
        link = std::make_unique<TcpLink>(tool, notices);
        ASSERT_EQ(link->tcp_start_server(), 1);
    }
    void TearDown() override {
        controller.reset();
        clients.clear();
        link.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    VirtualUnit& unit_arrives() {
        auto& unit = *units.emplace_back(std::make_unique<VirtualUnit>());
        const int before = link->clients_in_use();
        clients.push_back(std::make_unique<UnitTcpClient>(unit, "127.0.0.1", port));
        clients.back()->start();
        EXPECT_TRUE(wait_for([&] { return link->clients_in_use() == before + 1; }));
        return unit;
    }

    void make(Command command, std::vector<int> indexes = {1, 2, 3}) {
        controller = std::make_unique<FleetController>(tool, *link, notices, std::move(indexes),
                                                       FleetController::Request{command, "全項目の設定"});
    }

    // Ticks the sessions as the dialog's timer does, until every unit has ended.
    bool run_to_end(int ms = 20000) {
        if (!controller->start()) return false;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { controller->tick(); });
        ticker.start(controller->tick_ms());
        return wait_for([&] { return !controller->running(); }, ms);
    }

    std::vector<UnitState> states() const {
        std::vector<UnitState> out;
        for (const auto& row : controller->rows()) out.push_back(row.state);
        return out;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    std::uint16_t port = 0;
    std::unique_ptr<TcpLink> link;
    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::unique_ptr<UnitTcpClient>> clients;
    std::unique_ptr<FleetController> controller;
};

TEST_F(FleetControllerTest, FullSendReachesEveryUnitAndAnErrorAnswerFailsOnlyItsUnit) {
    tool.model.pages[4].char_size = 0;
    unit_arrives();
    VirtualUnit& refusing = unit_arrives();
    refusing.faults.error_at_line = 10;
    refusing.faults.error_reply = "E1";
    unit_arrives();
    make(Command::kFullSend);

    ASSERT_TRUE(run_to_end());
    // One question for the whole set, naming how many units; no box from any unit's session.
    ASSERT_EQ(notices.texts("question").size(), 1u);
    EXPECT_NE(notices.texts("question")[0].find("選択した 3 台"), std::string::npos);
    EXPECT_TRUE(notices.texts("auto").empty());
    EXPECT_TRUE(notices.texts("error").empty());
    EXPECT_TRUE(notices.texts("warning").empty());

    EXPECT_EQ(states(), (std::vector<UnitState>{UnitState::kOk, UnitState::kFailed, UnitState::kOk}));
    EXPECT_EQ(units[0]->lines_received(), 117);
    EXPECT_EQ(units[2]->lines_received(), 117);
    EXPECT_EQ(units[0]->settings().pages[4].char_size, 0);
    EXPECT_EQ(refusing.lines_received(), 10);
    const auto rows = controller->rows();
    EXPECT_FALSE(rows[1].result.empty());
    EXPECT_NE(rows[1].result, "OK");
    EXPECT_EQ(rows[0].label, "127.0.0.1:" + std::to_string(link->client_table()[1].port));
    EXPECT_EQ(controller->summary(), "3 台中 2 台成功、1 台失敗");
    // The client list shows how the last command to each went.
    EXPECT_EQ(link->client_table()[1].last_result, "OK");
    EXPECT_EQ(link->client_table()[2].last_result.rfind("失敗: ", 0), 0u);
    // Nothing reached the link's own reply handling.
    EXPECT_TRUE(notices.texts("success").empty());
}

TEST_F(FleetControllerTest, AUnitThatGoesMidSendFailsAloneAtItsStep) {
    unit_arrives();
    VirtualUnit& leaving = unit_arrives();
    unit_arrives();
    UnitTcpClient* leaving_client = clients[1].get();
    leaving.observer = [&](std::string_view, const std::optional<std::string>&) {
        if (leaving.lines_received() != 40) return;
        QMetaObject::invokeMethod(leaving_client, [leaving_client] { leaving_client->stop(); }, Qt::QueuedConnection);
    };
    make(Command::kFullSend);

    ASSERT_TRUE(run_to_end());
    EXPECT_EQ(states(), (std::vector<UnitState>{UnitState::kOk, UnitState::kFailed, UnitState::kOk}));
    EXPECT_EQ(units[0]->lines_received(), 117);
    EXPECT_EQ(units[2]->lines_received(), 117);
    EXPECT_NE(controller->rows()[1].result.find("で中断しました"), std::string::npos) << controller->rows()[1].result;
    EXPECT_TRUE(notices.texts("error").empty());
}

TEST_F(FleetControllerTest, VerificationAndComparisonCountTheSettingsThatDiffer) {
    unit_arrives();
    VirtualUnit& forgetful = unit_arrives();
    forgetful.faults.forget_prefix = "CFS";
    tool.model.pages[0].char_size = 0;
    make(Command::kFullSend, {1, 2});
    controller->set_verify(true);
    ASSERT_TRUE(run_to_end());
    const auto verified = controller->rows();
    EXPECT_EQ(verified[0].state, UnitState::kOk);
    EXPECT_EQ(verified[0].differences, 0);
    EXPECT_EQ(verified[1].state, UnitState::kFailed);
    EXPECT_EQ(verified[1].differences, 1);
    EXPECT_NE(verified[1].result.find("照合の結果"), std::string::npos);

    // 比較 reads each unit and counts what differs from the settings in memory.
    controller = std::make_unique<FleetController>(tool, *link, notices, std::vector<int>{1, 2},
                                                   FleetController::Request{Command::kCompare, "比較"});
    ASSERT_TRUE(run_to_end());
    const auto compared = controller->rows();
    EXPECT_EQ(compared[0].state, UnitState::kOk);
    EXPECT_EQ(compared[0].differences, 0);
    EXPECT_EQ(compared[1].differences, 1);
    EXPECT_EQ(compared[1].result, "差分 1 件");
}

TEST_F(FleetControllerTest, NoAtTheQuestionSendsNothingAndCancelStopsEveryUnit) {
    for (int i = 0; i < 3; ++i) unit_arrives().faults.delay_ms = 50;
    tool.config.pace = 0;
    make(Command::kFullSend);
    notices.answers.push_back(false);
    EXPECT_FALSE(controller->start());
    EXPECT_FALSE(controller->started());

    ASSERT_TRUE(controller->start());
    ASSERT_TRUE(wait_for([&] { return units[2]->lines_received() >= 1; }));
    controller->cancel();
    EXPECT_FALSE(controller->running());
    EXPECT_EQ(states(), (std::vector<UnitState>(3, UnitState::kCancelled)));
    EXPECT_LT(controller->percent(), 10);  // as far as the units got, not done
    EXPECT_EQ(controller->summary(), "3 台中 0 台成功、0 台失敗、3 台中止");
    const std::string text = controller->result_text();
    EXPECT_NE(text.find("No.\tアドレス:ポート\t結果\t時間\n"), std::string::npos);
    EXPECT_NE(text.find("\n3\t127.0.0.1:"), std::string::npos);
}

TEST_F(FleetControllerTest, EditorLinesGoToEachUnitAndAUnitGoneBeforeTheStartIsLeftOut) {
    unit_arrives();
    unit_arrives();
    FleetController::Request request{Command::kLines, "文字サイズ", false, nullptr, {"CFS05L\r\n", "CFS06S\r\n"}};
    controller = std::make_unique<FleetController>(tool, *link, notices, std::vector<int>{1, 2, 7}, request);
    EXPECT_EQ(controller->unit_count(), 3);
    ASSERT_TRUE(run_to_end());
    EXPECT_EQ(controller->unit_count(), 2);
    EXPECT_EQ(notices.texts("question"),
              std::vector<std::string>{"選択した 2 台に「文字サイズ」を送信します。\nよろしいですか？"});
    EXPECT_EQ(states(), (std::vector<UnitState>(2, UnitState::kOk)));
    for (const auto& unit : units) {
        EXPECT_EQ(unit->settings().pages[4].char_size, 0);
        EXPECT_EQ(unit->settings().pages[5].char_size, 2);
    }
}

}  // namespace
}  // namespace tvx
