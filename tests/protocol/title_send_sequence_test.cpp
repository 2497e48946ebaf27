#include "protocol/title_send_sequence.h"

#include <gtest/gtest.h>

#include "protocol/recording_link.h"
#include "protocol/title_encoding.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::RecordingLink;
using testing::RecordingNotices;

TEST(TitleSendSequence, SendsSixtyFourTitlesWithTheirPercentages) {
    ToolState tool;
    RecordingNotices notices;
    RecordingLink link;
    tool.model.pages[31].title = "\x93\xFA\x96\x7B";  // 日本
    TitleSendSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    std::vector<int> percents;
    do {
        seq.tick();
        percents.push_back(seq.percent());
    } while (seq.running());
    ASSERT_EQ(percents.size(), 64u);  // the tick of page 64 completes the send
    EXPECT_EQ(percents[0], 1);
    EXPECT_EQ(percents[31], 50);
    EXPECT_EQ(percents[63], 100);
    EXPECT_EQ(seq.state(), PacedSequence::State::kCompleted);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    ASSERT_EQ(link.lines.size(), 64u);
    EXPECT_EQ(link.lines[31].substr(0, 12), "CA32467C4B5C");
}

TEST(TitleSendSequence, ARefusedTitleEndsTheSendInItsOwnTick) {
    ToolState tool;
    RecordingNotices notices;
    RecordingLink link;
    tool.model.pages[9].title = "\x82\xA0 ";  // あ and a half-width space
    TitleSendSequence seq(tool, link, notices);
    ASSERT_TRUE(seq.start());
    int ticks = 0;
    while (seq.tick() == PacedSequence::State::kRunning) ++ticks;
    EXPECT_EQ(ticks, 9);
    EXPECT_EQ(seq.state(), PacedSequence::State::kStopped);
    EXPECT_EQ(seq.refused_page(), 9);
    EXPECT_EQ(link.lines.size(), 9u);
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{std::string(kTitleRefused)});
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

TEST(TitleSendSequence, PageSendRefusesHalfWidthTextAndWaitsForRunningSequences) {
    ToolState tool;
    RecordingNotices notices;
    RecordingLink link;
    tool.model.pages[4].title = "\x82\xA0 \x82\xA2";  // あ い with a half-width space
    EXPECT_FALSE(send_page_title(tool, link, notices, 4));
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{std::string(kTitleRefused)});

    tool.model.pages[4].title = "\x82\xA0\x81\x40\x82\xA2";  // the same with a full-width space
    EXPECT_TRUE(send_page_title(tool, link, notices, 4));
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 16), "CA05242221212424");

    tool.model.run.batch_step = 3;
    EXPECT_FALSE(send_page_title(tool, link, notices, 4));
    EXPECT_EQ(link.lines.size(), 1u);
}

}  // namespace
}  // namespace tvx
