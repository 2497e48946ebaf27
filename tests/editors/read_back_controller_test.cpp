#include "editors/read_back_controller.h"

#include <gtest/gtest.h>

#include "editors/full_send_controller.h"
#include "protocol/read_record.h"
#include "protocol/sequence_test_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::InProcessUnitLink;
using testing::RecordingNotices;

struct UnitSequenceControllerTest : ::testing::Test {
    ToolState tool;
    RecordingNotices notices;
    VirtualUnit unit;
    InProcessUnitLink link{tool, notices, unit};
};

TEST_F(UnitSequenceControllerTest, ReadBackListsNoBroadcastAndLeavesItUnselected) {
    auto read_back = make_read_back_controller(tool, link, notices);
    auto full_send = make_full_send_controller(tool, link, notices);
    tool.model.run.hidden_entry_count = 9;
    read_back->open();
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_EQ(read_back->slave_items().size(), 32u);
    EXPECT_EQ(read_back->slave_items().back(), "31");
    EXPECT_EQ(full_send->slave_items().size(), 33u);
    EXPECT_EQ(full_send->slave_items().back(), "Bloadcast");

    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    EXPECT_TRUE(read_back->slave_selector().enabled);
    EXPECT_EQ(read_back->slave_selector().selected, -1);
    EXPECT_EQ(full_send->slave_selector().selected, kBroadcastAddress);

    // Start is refused until an address is chosen.
    EXPECT_FALSE(read_back->start());
    EXPECT_EQ(notices.texts("error").size(), 1u);
    read_back->select_slave_address(kBroadcastAddress);  // not in its list
    EXPECT_EQ(tool.model.run.slave_address, kBroadcastAddress);
    read_back->select_slave_address(4);
    EXPECT_EQ(tool.model.run.slave_address, 4);
    EXPECT_TRUE(read_back->start());

    tool.config.select_number = 1;
    EXPECT_EQ(read_back->window_title("192.168.0.9"), "設定項目の読み込み192.168.0.9");
    tool.config.select_number = -1;
    EXPECT_EQ(full_send->window_title("192.168.0.9"), "全項目の設定");
}

TEST_F(UnitSequenceControllerTest, AReadBackTheUnitStopsWithAnErrorNamesWhatItLeftUnread) {
    unit.faults.error_at_line = 100;  // the 100th read is refused
    unit.faults.error_reply = "E2";
    auto read_back = make_read_back_controller(tool, link, notices);
    read_back->open();
    ASSERT_TRUE(read_back->start());
    UnitSequenceController::Outcome outcome = UnitSequenceController::Outcome::kRunning;
    for (int i = 0; i < 400 && outcome == UnitSequenceController::Outcome::kRunning; ++i)
        outcome = read_back->tick();
    ASSERT_EQ(outcome, UnitSequenceController::Outcome::kStopped);
    // The error itself, then what was not read: memory is partly the unit's, partly as it was.
    const std::vector<std::string> errors = notices.texts("error");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].rfind(std::string(kUnreadHeading) + "\n", 0), 0u) << errors[1];
    EXPECT_NE(errors[1].find("アラーム"), std::string::npos) << errors[1];
    EXPECT_NE(errors[1].find("プロトコル"), std::string::npos) << errors[1];
    EXPECT_EQ(errors[1].find("タイトル"), std::string::npos) << errors[1];
}

}  // namespace
}  // namespace tvx
