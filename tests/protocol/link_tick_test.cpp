#include "protocol/link_tick.h"

#include <gtest/gtest.h>

#include "support/recording_notices.h"

namespace tvx {
namespace {

TEST(LinkTick, NoConnectComesOnceOnTheTwentySeventhTick) {
    LinkFlags link;
    testing::RecordingNotices notices;
    link.reply_expected = 1;
    for (int tick = 1; tick <= 26; ++tick) link_tick(link, notices);
    EXPECT_TRUE(notices.calls.empty());
    link_tick(link, notices);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"No Connect"});
    EXPECT_EQ(link.reply_expected, 0);
    for (int tick = 0; tick < 100; ++tick) link_tick(link, notices);
    EXPECT_EQ(notices.calls.size(), 1u);
}

TEST(LinkTick, SuccessIsShownOnceOnTheNextTick) {
    LinkFlags link;
    testing::RecordingNotices notices;
    link.success_pending = 1;
    link_tick(link, notices);
    link_tick(link, notices);
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_EQ(link.success_pending, 0);
}

}  // namespace
}  // namespace tvx
