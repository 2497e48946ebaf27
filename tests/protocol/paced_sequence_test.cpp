#include "protocol/paced_sequence.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/reply_handler.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using State = PacedSequence::State;
using testing::RecordingNotices;

// A serial line in miniature: each line sent awaits an answer unless it is a broadcast; answer() hands
// one in as the reply handling would.
class FakeLine : public CommandLink {
  public:
    explicit FakeLine(ToolState& tool) : tool_(tool) {}
    void send_command(std::string_view line) override {
        if (lost) {
            tool_.link.link_lost = 1;
            tool_.link.reply_expected = broadcast ? 0 : 1;
            return;
        }
        lines.emplace_back(line);
        tool_.link.reply_expected = broadcast ? 0 : 1;
        if (answer_pending) tool_.link.tcp_answer_pending = 1;
        if (answer_at_once) answer();
    }
    bool tcp_is_connected() const override { return true; }
    void answer(int error = 0) {
        tool_.link.reply_expected = 0;
        tool_.link.error_reply = error;
        ++tool_.link.replies_handled;
    }

    std::vector<std::string> lines;
    bool lost = false;
    bool broadcast = false;
    bool answer_at_once = false;
    bool answer_pending = false;  // as over TCP: the answer is awaited before the next step

  private:
    ToolState& tool_;
};

class Recorder : public PacedSequence {
  public:
    Recorder(ToolState& tool, CommandLink& link, Notices& notices) : PacedSequence(tool, link, notices) {}
    int step_count() const override { return 3; }
    std::vector<int> sent;
    std::function<bool(int)> on_send = [](int) { return true; };
    bool bank = false;
    bool unanswered_is_normal = false;

  protected:
    bool send_step(int step) override {
        sent.push_back(step);
        step_link().send_command("S" + std::to_string(step) + "\r\n");
        return on_send(step);
    }
    bool uses_bank_flag() const override { return bank; }
    bool stops_when_unanswered() const override { return !unanswered_is_normal; }
};

class PacedSequenceTest : public ::testing::Test {
  protected:
    ToolState tool;
    RecordingNotices notices;
    FakeLine line{tool};
};

TEST_F(PacedSequenceTest, CompletesInTheTickOfItsLastStepUnlessAnAnswerIsStillDue) {
    tool.link.error_reply = 1;  // left by an earlier single command
    tool.link.link_lost = 1;
    tool.link.reply_missed = 1;
    line.answer_at_once = true;  // no step goes out before the one before it has its answer
    Recorder seq(tool, line, notices);
    ASSERT_TRUE(seq.start());
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_EQ(tool.link.link_lost, 0);
    EXPECT_NE(tool.model.run.batch_step, 0);
    seq.tick();
    tool.link.tcp_answer_pending = 1;
    seq.tick();  // waits for the answer
    EXPECT_EQ(seq.sent, std::vector<int>{1});
    tool.link.tcp_answer_pending = 0;
    seq.tick();
    EXPECT_EQ(seq.tick(), State::kCompleted);
    EXPECT_EQ(seq.sent, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(seq.percent(), 100);
    EXPECT_EQ(tool.model.run.batch_step, 0);

    // Over TCP the last answer is part of the sequence: it completes at the first tick after a "GO"...
    Recorder tcp(tool, line, notices);
    ASSERT_TRUE(tcp.start());
    tcp.tick();
    tcp.tick();
    tool.link.tcp_answer_pending = 1;
    EXPECT_EQ(tcp.tick(), State::kRunning);
    EXPECT_EQ(tcp.tick(), State::kRunning);
    tool.link.tcp_answer_pending = 0;
    EXPECT_EQ(tcp.tick(), State::kCompleted);
    EXPECT_EQ(tcp.sent.size(), 3u);

    // An error answer to an earlier step stops the sequence at the next tick; one to the last step is shown
    // by the reply handling and the sequence, every step out, completes.
    line.answer_pending = true;
    Recorder early(tool, line, notices);
    ASSERT_TRUE(early.start());
    early.tick();
    tool.link.tcp_answer_pending = 0;
    tool.link.error_reply = 1;
    EXPECT_EQ(early.tick(), State::kStopped);
    EXPECT_EQ(early.sent, std::vector<int>{1});
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_FALSE(early.stopped_by_link());

    Recorder last(tool, line, notices);
    ASSERT_TRUE(last.start());
    for (int step = 1; step <= 3; ++step) {
        EXPECT_EQ(last.tick(), State::kRunning);
        if (step < 3) tool.link.tcp_answer_pending = 0;
    }
    tool.link.tcp_answer_pending = 0;
    tool.link.error_reply = 1;
    EXPECT_EQ(last.tick(), State::kCompleted);
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_TRUE(notices.calls.empty());  // the error reply has said it already
}

TEST_F(PacedSequenceTest, ErrorReplyRefusalAndCancelAllEndWithTheCounterCleared) {
    line.answer_at_once = true;
    Recorder seq(tool, line, notices);
    ASSERT_TRUE(seq.start());
    seq.tick();
    tool.link.error_reply = 1;
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(seq.sent, std::vector<int>{1});
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.error_reply, 0);

    Recorder refused(tool, line, notices);
    refused.on_send = [](int step) { return step != 2; };
    ASSERT_TRUE(refused.start());
    refused.tick();
    EXPECT_EQ(refused.tick(), State::kStopped);
    EXPECT_EQ(tool.model.run.batch_step, 0);

    Recorder bank(tool, line, notices);
    bank.bank = true;
    ASSERT_TRUE(bank.start());
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 1);
    Recorder other(tool, line, notices);
    EXPECT_FALSE(other.start());  // one sequence at a time
    bank.cancel();
    EXPECT_EQ(bank.state(), State::kCancelled);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    EXPECT_TRUE(other.start());
}

TEST_F(PacedSequenceTest, TheOperatorsStopSendsNothingMoreAndEndsOnceTheStepInFlightIsAnswered) {
    Recorder idle(tool, line, notices);
    EXPECT_FALSE(idle.stop());  // nothing runs

    Recorder seq(tool, line, notices);
    ASSERT_TRUE(seq.start());
    seq.tick();
    line.answer();
    seq.tick();  // step 2 awaits its answer
    ASSERT_TRUE(seq.stop());
    EXPECT_TRUE(seq.stop_requested());
    EXPECT_EQ(seq.state(), State::kRunning);
    // Its answer is due: the run waits for it, so that no late answer passes for a single command's.
    EXPECT_EQ(seq.tick(), State::kRunning);
    EXPECT_EQ(seq.sent, (std::vector<int>{1, 2}));
    line.answer();
    EXPECT_EQ(seq.tick(), State::kInterrupted);
    EXPECT_EQ(seq.sent, (std::vector<int>{1, 2}));
    EXPECT_EQ(seq.outcome(3), PacedSequence::StepOutcome::kNotSent);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_FALSE(seq.stopped_by_link());
    EXPECT_TRUE(notices.calls.empty());  // he stopped it himself: no box
    EXPECT_EQ(seq.interrupted_report(),
              "中止しました。最後に応答があったのはステップ 2 です。送信済み: ステップ 1〜ステップ 2 (2 ステップ)。"
              "未送信: ステップ 3 (1 ステップ)。");
    EXPECT_EQ(seq.tick(), State::kInterrupted);
    EXPECT_EQ(line.lines.size(), 2u);

    // An answer that never comes: the link's time-out ends the wait, with no stop notice of its own.
    Recorder silent(tool, line, notices);
    ASSERT_TRUE(silent.start());
    silent.tick();
    silent.stop();
    EXPECT_EQ(silent.tick(), State::kRunning);
    tool.link.reply_missed = 1;
    EXPECT_EQ(silent.tick(), State::kInterrupted);
    EXPECT_EQ(silent.outcome(1), PacedSequence::StepOutcome::kNoAnswer);
    EXPECT_EQ(tool.link.reply_missed, 0);
    EXPECT_TRUE(notices.calls.empty());
    tool.link.reply_expected = 0;

    // A new run begins at step 1 with no stop left over.
    line.answer_at_once = true;
    tool.link.link_lost = 0;
    ASSERT_TRUE(seq.start());
    EXPECT_FALSE(seq.stop_requested());
    seq.tick();
    EXPECT_EQ(seq.sent.back(), 1);

    // Stopped before its first step: nothing went out.
    Recorder early(tool, line, notices);
    seq.cancel();
    ASSERT_TRUE(early.start());
    early.stop();
    EXPECT_EQ(early.tick(), State::kInterrupted);
    EXPECT_TRUE(early.sent.empty());
    EXPECT_EQ(early.interrupted_report(),
              "中止しました。応答は一度もありませんでした。送信したものはありません。未送信: ステップ 1〜ステップ 3 (3 ステップ)。");

    // A broadcast has no answers to name: the last line written is what there is to tell.
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    line.broadcast = true;
    line.answer_at_once = false;
    Recorder broadcast(tool, line, notices);
    ASSERT_TRUE(broadcast.start());
    broadcast.tick();
    broadcast.stop();
    EXPECT_EQ(broadcast.tick(), State::kInterrupted);
    EXPECT_EQ(broadcast.interrupted_report(),
              "中止しました。一斉送信には応答がありません。送信済み: ステップ 1 (1 ステップ)。"
              "未送信: ステップ 2〜ステップ 3 (2 ステップ)。");
}

TEST_F(PacedSequenceTest, ATickNeverRunsInsideAnother) {
    Recorder seq(tool, line, notices);
    seq.on_send = [&](int) {
        seq.tick();  // as a notice box's event loop would
        return true;
    };
    ASSERT_TRUE(seq.start());
    seq.tick();
    EXPECT_EQ(seq.sent, std::vector<int>{1});
}

TEST_F(PacedSequenceTest, AMissedAnswerStopsTheSequenceEvenWhenALateLineClearsTheErrorReply) {
    Recorder seq(tool, line, notices);
    ASSERT_TRUE(seq.start());
    seq.tick();
    line.answer();
    seq.tick();  // step 2 is never answered
    tool.link.reply_missed = 1;
    tool.link.error_reply = 1;
    line.answer();  // a late "GO" clears error_reply before the next tick
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(seq.sent, (std::vector<int>{1, 2}));
    EXPECT_TRUE(seq.stopped_by_link());
    EXPECT_EQ(tool.link.reply_missed, 0);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    // The late line counts as the answer to step 2: the unit answers in order.
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{"ステップ 2 で中断しました。最後に応答があったのはステップ 2 です。"});
}

TEST_F(PacedSequenceTest, ALostLinkStopsAtTheNextTickAndNamesTheLastAnsweredStep) {
    Recorder seq(tool, line, notices);
    ASSERT_TRUE(seq.start());
    seq.tick();
    seq.tick();  // step 1 awaits its answer: nothing more goes out
    EXPECT_EQ(line.lines.size(), 1u);
    line.answer();
    seq.tick();
    tool.link.link_lost = 1;
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(line.lines.size(), 2u);
    EXPECT_EQ(seq.steps_sent(), 2);
    EXPECT_EQ(seq.last_answered_step(), 1);
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{"ステップ 2 で中断しました。最後に応答があったのはステップ 1 です。"});

    // A line that cannot go out stops the sequence in the tick that tried, before it can complete.
    notices.clear();
    Recorder last(tool, line, notices);
    ASSERT_TRUE(last.start());
    line.answer_at_once = true;
    last.tick();
    last.tick();
    line.lost = true;
    EXPECT_EQ(last.tick(), State::kStopped);
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{"ステップ 3 で中断しました。最後に応答があったのはステップ 2 です。"});

    notices.clear();
    Recorder none(tool, line, notices);
    ASSERT_TRUE(none.start());
    EXPECT_EQ(none.tick(), State::kStopped);
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{"ステップ 1 で中断しました。応答は一度もありませんでした。"});
}

TEST_F(PacedSequenceTest, ABroadcastStopsOnlyForALostPortAndNamesTheLastLineWritten) {
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    line.broadcast = true;
    Recorder seq(tool, line, notices);
    ASSERT_TRUE(seq.start());
    seq.tick();
    seq.tick();
    line.lost = true;
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(line.lines.size(), 2u);
    EXPECT_EQ(notices.texts("error"),
              std::vector<std::string>{"ステップ 3 で中断しました。一斉送信には応答がありません。"
                                       "送信できたのはステップ 2 までです。"});
}

TEST_F(PacedSequenceTest, WhereUnansweredStepsAreNormalOnlyALostLinkStops) {
    Recorder seq(tool, line, notices);
    seq.unanswered_is_normal = true;
    ASSERT_TRUE(seq.start());
    seq.tick();
    tool.link.reply_missed = 1;
    EXPECT_EQ(seq.tick(), State::kRunning);
    EXPECT_EQ(seq.sent, (std::vector<int>{1, 2}));
    tool.link.link_lost = 1;
    EXPECT_EQ(seq.tick(), State::kStopped);
    EXPECT_EQ(notices.texts("error").size(), 1u);
}

// A unit on the serial line or TCP, answering each step with the lines the case gives it (by default
// "GO"), through the real reply handling, when the test lets the answers in.
class ScriptedUnit : public CommandLink {
  public:
    ScriptedUnit(ToolState& tool, Notices& notices) : tool_(tool), notices_(notices) {}
    void send_command(std::string_view line) override {
        ++sent;
        if (tcp) {
            tool_.link.tcp_answer_pending = 1;
        } else {
            tool_.link.reply_expected = 1;
        }
        const auto it = answers.find(sent);
        for (const std::string& answer : it == answers.end() ? std::vector<std::string>{"GO"} : it->second)
            due.push_back(answer + "\r\n");
        (void)line;
    }
    bool tcp_is_connected() const override { return true; }
    // Every answer due arrives at once, as lines that came together before the tick.
    void deliver() {
        std::string together;
        for (const std::string& answer : due) together += answer;
        due.clear();
        if (together.empty()) return;
        if (tcp) {
            tool_.link.tcp_answer_pending = 0;
            handle_tcp_reply(tool_, notices_, together);
            return;
        }
        for (std::size_t at = 0; at < together.size();) {
            const std::size_t lf = together.find('\n', at);
            handle_serial_reply(tool_, notices_, std::string_view(together).substr(at, lf + 1 - at));
            at = lf + 1;
        }
    }

    std::map<int, std::vector<std::string>> answers;
    std::vector<std::string> due;
    int sent = 0;
    bool tcp = false;

  private:
    ToolState& tool_;
    Notices& notices_;
};

class SettingSteps : public PacedSequence {
  public:
    SettingSteps(ToolState& tool, CommandLink& link, Notices& notices) : PacedSequence(tool, link, notices) {}
    int step_count() const override { return 4; }

  protected:
    bool send_step(int step) override {
        step_link().send_command("PAS0" + std::to_string(step) + "S\r\n");
        return true;
    }
};

// How each answer sticks to its step, on both links: the lines of a step arrive together before the tick.
TEST(SequenceStepOutcomes, EachStepKeepsHowItWasAnswered) {
    using Outcome = PacedSequence::StepOutcome;
    struct Case {
        const char* name;
        std::map<int, std::vector<std::string>> answers;
        State end;
        int sent;
        std::vector<Outcome> outcomes;
        std::vector<std::string> warnings;
    };
    const std::vector<Case> cases = {
        {"an error answer followed at once by another line stops at its step",
         {{2, {"E3", "GO"}}},
         State::kStopped,
         2,
         {Outcome::kAsAsked, Outcome::kErrorReply},
         {}},
        {"a setting answered by something that is no status is named at the end",
         {{2, {"ZZZ"}}, {3, {"CFS01"}}},
         State::kCompleted,
         4,
         {Outcome::kAsAsked, Outcome::kUnexpected, Outcome::kUnexpected, Outcome::kAsAsked},
         {"最後まで送信しましたが、本機が受け付けなかったステップがあります。\n"
          "想定外の応答: ステップ 2, ステップ 3"}},
        {"GN never stops a sequence but is named at the end",
         {{1, {"GN"}}, {4, {"GN"}}},
         State::kCompleted,
         4,
         {Outcome::kModeDifference, Outcome::kAsAsked, Outcome::kAsAsked, Outcome::kModeDifference},
         {"最後まで送信しましたが、本機が受け付けなかったステップがあります。\n"
          "モード違い（GN）: ステップ 1, ステップ 4"}},
        {"an error answer to the last step leaves it complete but not a plain success",
         {{4, {"E3"}}},
         State::kCompleted,
         4,
         {Outcome::kAsAsked, Outcome::kAsAsked, Outcome::kAsAsked, Outcome::kErrorReply},
         {"最後まで送信しましたが、本機が受け付けなかったステップがあります。\n"
          "エラー応答: ステップ 4"}},
    };
    for (const bool tcp : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (tcp ? " (TCP)" : " (serial)"));
            ToolState tool;
            tool.config.link_interface = tcp ? 1 : 0;
            RecordingNotices notices;
            ScriptedUnit unit(tool, notices);
            unit.tcp = tcp;
            unit.answers = c.answers;
            SettingSteps seq(tool, unit, notices);
            ASSERT_TRUE(seq.start());
            State state = State::kRunning;
            for (int tick = 0; tick < 20 && state == State::kRunning; ++tick) {
                state = seq.tick();
                // No step goes out while the one before awaits its answer.
                EXPECT_EQ(seq.tick(), state);
                EXPECT_EQ(unit.sent, seq.steps_sent());
                unit.deliver();
            }
            EXPECT_EQ(state, c.end);
            EXPECT_EQ(unit.sent, c.sent);
            for (int step = 1; step <= static_cast<int>(c.outcomes.size()); ++step)
                EXPECT_EQ(seq.outcome(step), c.outcomes[static_cast<std::size_t>(step - 1)]) << "step " << step;
            EXPECT_EQ(notices.texts("warning"), c.warnings);
            EXPECT_EQ(tool.model.run.batch_step, 0);
        }
    }
}

TEST(SequenceStepOutcomes, AUnitThatGoesAfterAnsweringTheLastStepLeavesTheSequenceComplete) {
    ToolState tool;
    tool.config.link_interface = 1;
    RecordingNotices notices;
    ScriptedUnit unit(tool, notices);
    unit.tcp = true;
    SettingSteps seq(tool, unit, notices);
    ASSERT_TRUE(seq.start());
    for (int step = 1; step <= 4; ++step) {
        ASSERT_EQ(seq.tick(), State::kRunning);
        unit.deliver();
    }
    tool.link.link_lost = 1;  // the connection closes right after the last answer
    EXPECT_EQ(seq.tick(), State::kCompleted);
    EXPECT_TRUE(notices.calls.empty());

    // Gone before the last answer came: stopped at the last step.
    SettingSteps cut(tool, unit, notices);
    ASSERT_TRUE(cut.start());
    for (int step = 1; step <= 4; ++step) {
        ASSERT_EQ(cut.tick(), State::kRunning);
        if (step < 4) unit.deliver();
    }
    tool.link.tcp_answer_pending = 0;
    tool.link.reply_missed = 1;
    tool.link.link_lost = 1;
    EXPECT_EQ(cut.tick(), State::kStopped);
    EXPECT_EQ(cut.outcome(4), PacedSequence::StepOutcome::kNoAnswer);
}

// A notice box runs an event loop of its own: the sequence's timer ticks inside it.
class TickingNotices : public RecordingNotices {
  public:
    void notify_error(std::string_view text) override {
        RecordingNotices::notify_error(text);
        if (inside_box) inside_box();
    }
    std::function<void()> inside_box;
};

// A sequence whose last step sends nothing, as the full send's closing step.
class ClosingStep : public SettingSteps {
  public:
    using SettingSteps::SettingSteps;

  protected:
    bool send_step(int step) override { return step == 4 || SettingSteps::send_step(step); }
    int last_sending_step() const override { return 3; }
};

TEST(SequenceStepOutcomes, AnErrorAnswerToTheLastStepIsNotedBeforeItsBoxLetsATickIn) {
    for (const bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "TCP" : "serial");
        ToolState tool;
        tool.config.link_interface = tcp ? 1 : 0;
        TickingNotices notices;
        ScriptedUnit unit(tool, notices);
        unit.tcp = tcp;
        unit.answers = {{4, {"E3"}}};
        SettingSteps seq(tool, unit, notices);
        notices.inside_box = [&] { seq.tick(); };
        ASSERT_TRUE(seq.start());
        for (int tick = 0; tick < 10 && seq.running(); ++tick) {
            seq.tick();
            unit.deliver();
        }
        EXPECT_EQ(seq.state(), State::kCompleted);
        EXPECT_EQ(seq.outcome(4), PacedSequence::StepOutcome::kErrorReply);
        EXPECT_EQ(seq.steps_not_taken(), std::vector<int>{4});
    }
}

TEST(SequenceStepOutcomes, GoneAfterTheLastLineThatSendsWasAnsweredIsComplete) {
    ToolState tool;
    RecordingNotices notices;
    ScriptedUnit unit(tool, notices);
    ClosingStep seq(tool, unit, notices);
    ASSERT_TRUE(seq.start());
    for (int step = 1; step <= 3; ++step) {
        ASSERT_EQ(seq.tick(), State::kRunning);
        unit.deliver();
    }
    tool.link.link_lost = 1;  // the port goes before the closing step's tick
    EXPECT_EQ(seq.tick(), State::kCompleted);
    EXPECT_TRUE(notices.calls.empty());
}

}  // namespace
}  // namespace tvx
