#include "protocol/paced_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tvx {
namespace {

class Recorder : public PacedSequence {
public:
    using PacedSequence::PacedSequence;
    int step_count() const override { return 3; }
    std::vector<int> sent;
    std::function<bool(int)> on_send = [](int) { return true; };
    bool bank = false;

protected:
    bool send_step(int step) override {
        sent.push_back(step);
        return on_send(step);
    }
    bool uses_bank_flag() const override { return bank; }
};

TEST(PacedSequence, SendsOneStepPerTickAndCompletesAfterTheLastAnswer) {
    ToolState tool;
    tool.link.error_reply = 1;  // left by an earlier single command
    Recorder seq(tool);
    ASSERT_TRUE(seq.start());
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_NE(tool.model.run.batch_step, 0);
    seq.tick();
    tool.link.tcp_answer_pending = 1;
    seq.tick();  // waits for the answer
    EXPECT_EQ(seq.sent, std::vector<int>{1});
    tool.link.tcp_answer_pending = 0;
    seq.tick();
    seq.tick();
    EXPECT_EQ(seq.sent, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(seq.percent(), 100);
    EXPECT_EQ(seq.state(), PacedSequence::State::kRunning);
    EXPECT_EQ(seq.tick(), PacedSequence::State::kCompleted);
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

TEST(PacedSequence, ErrorReplyRefusalAndCancelAllEndWithTheCounterCleared) {
    ToolState tool;
    Recorder seq(tool);
    ASSERT_TRUE(seq.start());
    seq.tick();
    tool.link.error_reply = 1;
    EXPECT_EQ(seq.tick(), PacedSequence::State::kStopped);
    EXPECT_EQ(seq.sent, std::vector<int>{1});
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.error_reply, 0);

    Recorder refused(tool);
    refused.on_send = [](int step) { return step != 2; };
    ASSERT_TRUE(refused.start());
    refused.tick();
    EXPECT_EQ(refused.tick(), PacedSequence::State::kStopped);
    EXPECT_EQ(tool.model.run.batch_step, 0);

    Recorder bank(tool);
    bank.bank = true;
    ASSERT_TRUE(bank.start());
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 1);
    Recorder other(tool);
    EXPECT_FALSE(other.start());  // one sequence at a time
    bank.cancel();
    EXPECT_EQ(bank.state(), PacedSequence::State::kCancelled);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    EXPECT_TRUE(other.start());
}

TEST(PacedSequence, ATickNeverRunsInsideAnother) {
    ToolState tool;
    Recorder seq(tool);
    seq.on_send = [&](int) {
        seq.tick();  // as a notice box's event loop would
        return true;
    };
    ASSERT_TRUE(seq.start());
    seq.tick();
    EXPECT_EQ(seq.sent, std::vector<int>{1});
}

}  // namespace
}  // namespace tvx
