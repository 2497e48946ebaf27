#include "protocol/glyph_bank_sequences.h"

#include <deque>
#include <random>

#include <gtest/gtest.h>

#include "glyphs/glyph_text.h"
#include "protocol/command_builders.h"
#include "protocol/reply_handler.h"
#include "support/recording_notices.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

// A virtual unit on an RS-232C line, in-process: answers wait in a queue until deliver(), as they would
// wait for the serial reader, unless `immediate` is set.
class UnitLine : public CommandLink {
  public:
    UnitLine(ToolState& tool, Notices& notices) : tool_(tool), notices_(notices) {}

    void send_command(std::string_view line) override {
        lines.emplace_back(line);
        for (std::string& answer : unit.receive(line)) answers.push_back(std::move(answer));
        if (immediate) deliver();
    }
    bool tcp_is_connected() const override { return connected; }

    void deliver() {
        while (!answers.empty()) {
            const std::string answer = answers.front();
            answers.pop_front();
            handle_serial_reply(tool_, notices_, answer);
        }
    }

    VirtualUnit unit;
    std::vector<std::string> lines;
    std::deque<std::string> answers;
    bool immediate = false;
    bool connected = true;

  private:
    ToolState& tool_;
    Notices& notices_;
};

void fill_randomly(std::vector<std::string>& bank, const GlyphSize& size, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> digit(0, 15);
    for (std::string& slot : bank) {
        for (int d = 0; d < size.digits; ++d)
            slot[static_cast<std::size_t>(d)] = glyph_digit_char(digit(random));
    }
}

std::string digits_of(const std::string& slot, const GlyphSize& size) {
    return slot.substr(0, static_cast<std::size_t>(size.digits));
}

class BankSequences : public ::testing::Test {
  protected:
    ToolState tool;
    testing::RecordingNotices notices;
    UnitLine line{tool, notices};
};

TEST_F(BankSequences, ReadAllWaitsForEachAnswerAndFillsTheBank) {
    for (const GlyphSize* size : kGlyphSizes) {
        fill_randomly(glyph_bank(line.unit.glyphs(), *size), *size, static_cast<unsigned>(size->index));
        line.lines.clear();
        GlyphBankRead read(tool, *size, line, notices);
        tool.glyphs.current_slot = 5;
        ASSERT_TRUE(read.start());
        EXPECT_EQ(tool.glyphs.current_slot, 0);
        EXPECT_EQ(tool.glyphs.bank_sequence_active, 1);
        EXPECT_EQ(tool.model.run.batch_step, 0);

        read.tick();
        read.tick();  // no answer yet: nothing more is asked
        read.tick();
        ASSERT_EQ(line.lines.size(), 1u);
        EXPECT_EQ(line.lines[0], build_glyph_read(*size, glyph_code(0)));
        line.deliver();
        EXPECT_EQ(tool.glyphs.current_slot, 1);

        int ticks = 0;
        while (read.running() && ticks++ < 2000) {
            read.tick();
            line.deliver();
        }
        EXPECT_EQ(read.state(), PacedSequence::State::kCompleted);
        ASSERT_EQ(line.lines.size(), static_cast<std::size_t>(size->slot_count));
        EXPECT_EQ(line.lines.back(), build_glyph_read(*size, glyph_code(size->slot_count - 1)));
        for (int s = 0; s < size->slot_count; ++s) {
            const auto i = static_cast<std::size_t>(s);
            ASSERT_EQ(digits_of(glyph_bank(tool.glyphs, *size)[i], *size),
                      digits_of(glyph_bank(line.unit.glyphs(), *size)[i], *size))
                << size->name << " slot " << s;
        }
        EXPECT_EQ(tool.glyphs.current_slot, 0);
        EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
        EXPECT_EQ(read.percent(), 0);  // current_slot is back at 0
        EXPECT_TRUE(notices.calls.empty());
    }
}

// Only what differs goes to a unit and comes back: the named slots are registered and read, in order,
// each once, with a slot never answered passed over as not read; the bank's other slots are left alone.
TEST_F(BankSequences, SomeSlotsAloneAreRegisteredAndReadBack) {
    fill_randomly(glyph_bank(tool.glyphs, kMedium), kMedium, 7);
    const auto before = glyph_bank(line.unit.glyphs(), kMedium);
    line.immediate = true;
    GlyphBankRegister registering(tool, kMedium, line, notices, {159, 3, 3, 200, 40});
    ASSERT_TRUE(registering.start());
    for (int i = 0; i < 20 && registering.running(); ++i) registering.tick();
    EXPECT_EQ(registering.state(), PacedSequence::State::kCompleted);
    ASSERT_EQ(line.lines.size(), 3u);  // out of range and twice named are dropped; ascending
    EXPECT_EQ(line.lines[0], build_glyph_register(kMedium, 3, glyph_bank(tool.glyphs, kMedium)[3]));
    EXPECT_EQ(registering.step_label(3), "No.160");
    for (int s = 0; s < kMedium.slot_count; ++s) {
        const auto i = static_cast<std::size_t>(s);
        const bool named = s == 3 || s == 40 || s == 159;
        EXPECT_EQ(digits_of(glyph_bank(line.unit.glyphs(), kMedium)[i], kMedium),
                  digits_of(named ? glyph_bank(tool.glyphs, kMedium)[i] : before[i], kMedium))
            << "slot " << s;
    }

    line.lines.clear();
    for (std::string& slot : glyph_bank(tool.glyphs, kMedium)) std::fill(slot.begin(), slot.end(), '0');
    line.immediate = false;
    GlyphBankRead read(tool, kMedium, line, notices, {3, 40, 159});
    ASSERT_TRUE(read.start());
    EXPECT_EQ(read.step_count(), 3);
    read.tick();
    line.deliver();
    read.tick();  // slot 41 is never answered: asked three times, then passed over
    for (int ask = 0; ask < GlyphBankRead::kMaxAsks; ++ask) {
        line.answers.clear();
        handle_serial_reply(tool, notices, "GN\r\n");
        read.tick();
    }
    line.immediate = true;
    line.deliver();
    for (int i = 0; i < 20 && read.running(); ++i) read.tick();
    EXPECT_EQ(read.state(), PacedSequence::State::kCompleted);
    ASSERT_EQ(line.lines.size(), 5u);
    EXPECT_EQ(line.lines[0], build_glyph_read(kMedium, glyph_code(3)));
    EXPECT_EQ(line.lines[1], build_glyph_read(kMedium, glyph_code(40)));
    EXPECT_EQ(line.lines[3], build_glyph_read(kMedium, glyph_code(40)));
    EXPECT_EQ(line.lines[4], build_glyph_read(kMedium, glyph_code(159)));
    EXPECT_EQ(read.slots_not_read(), std::vector<int>{40});
    const auto& read_bank = glyph_bank(tool.glyphs, kMedium);
    EXPECT_EQ(digits_of(read_bank[3], kMedium), digits_of(glyph_bank(line.unit.glyphs(), kMedium)[3], kMedium));
    EXPECT_EQ(digits_of(read_bank[159], kMedium), digits_of(glyph_bank(line.unit.glyphs(), kMedium)[159], kMedium));
    EXPECT_EQ(digits_of(read_bank[4], kMedium), std::string(static_cast<std::size_t>(kMedium.digits), '0'));
}

TEST_F(BankSequences, ReadAllAsksAgainAfterAnAnswerThatIsNoDataLine) {
    GlyphBankRead read(tool, kLarge, line, notices);
    ASSERT_TRUE(read.start());
    read.tick();
    line.answers.clear();
    handle_serial_reply(tool, notices, "GO\r\n");  // some other answer clears the pending flag
    read.tick();
    ASSERT_EQ(line.lines.size(), 2u);
    EXPECT_EQ(line.lines[1], line.lines[0]);
    line.immediate = true;
    line.deliver();
    for (int i = 0; i < 200 && read.running(); ++i) read.tick();
    EXPECT_EQ(read.state(), PacedSequence::State::kCompleted);
    EXPECT_EQ(line.lines.size(), 71u);
}

TEST_F(BankSequences, ReadAllAsksASlotAtMostThreeTimesThenGoesOnAndNamesItAtTheEnd) {
    GlyphBankRead read(tool, kLarge, line, notices);
    ASSERT_TRUE(read.start());
    for (int ask = 0; ask < GlyphBankRead::kMaxAsks; ++ask) {
        read.tick();
        line.answers.clear();
        handle_serial_reply(tool, notices, "GN\r\n");  // the unit will not give the glyph in its mode
    }
    ASSERT_EQ(line.lines.size(), 3u);
    line.immediate = true;
    for (int i = 0; i < 200 && read.running(); ++i) read.tick();
    EXPECT_EQ(read.state(), PacedSequence::State::kCompleted);
    ASSERT_EQ(line.lines.size(), static_cast<std::size_t>(GlyphBankRead::kMaxAsks + kLarge.slot_count - 1));
    EXPECT_NE(line.lines[3], line.lines[0]);  // the fourth ask is for the next slot
    EXPECT_EQ(read.slots_not_read(), std::vector<int>{0});
    EXPECT_EQ(notices.texts("error").back(), std::string(kGlyphsNotRead) + "\nNo.1");
}

TEST_F(BankSequences, ReadAllStopsAtAnErrorAnswer) {
    line.unit.faults.error_at_line = 3;
    line.immediate = true;
    GlyphBankRead read(tool, kMedium, line, notices);
    ASSERT_TRUE(read.start());
    for (int i = 0; i < 10; ++i) read.tick();
    EXPECT_EQ(read.state(), PacedSequence::State::kStopped);
    EXPECT_EQ(line.lines.size(), 3u);
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Command Error"});
    EXPECT_EQ(tool.glyphs.current_slot, 2);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);
}

TEST_F(BankSequences, ReadAllIsRefusedWithoutAConnectionOrOnABroadcast) {
    GlyphBankRead read(tool, kSmall, line, notices);
    tool.glyphs.current_slot = 9;
    line.connected = false;
    EXPECT_FALSE(read.start());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Socket が接続されていません"});
    line.connected = true;

    tool.config.link_interface = 0;
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    EXPECT_FALSE(read.start());
    EXPECT_EQ(notices.texts("error").size(), 1u);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    EXPECT_EQ(tool.glyphs.current_slot, 9);
    EXPECT_TRUE(line.lines.empty());

    tool.model.run.slave_address = 31;
    EXPECT_TRUE(read.start());

    // Another transfer is running: nothing starts, without a word.
    GlyphBankRegister second(tool, kSmall, line, notices);
    notices.clear();
    EXPECT_FALSE(second.start());
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(BankSequences, RegisterAllSendsOneRegistrationPerSlot) {
    for (const GlyphSize* size : kGlyphSizes) {
        fill_randomly(glyph_bank(tool.glyphs, *size), *size, 100u + static_cast<unsigned>(size->index));
        line.lines.clear();
        line.immediate = true;
        GlyphBankRegister all(tool, *size, line, notices);
        ASSERT_TRUE(all.start());
        all.tick();
        EXPECT_EQ(tool.glyphs.current_slot, 1);
        EXPECT_EQ(all.percent(), 100 / size->slot_count);
        int ticks = 1;
        while (all.running() && ticks < 1000) {
            all.tick();
            ++ticks;
        }
        EXPECT_EQ(ticks, size->slot_count);  // the tick of the last registration completes
        ASSERT_EQ(line.lines.size(), static_cast<std::size_t>(size->slot_count));
        EXPECT_EQ(line.lines[2].substr(0, 6), std::string(size->register_mnemonic) + "003");
        EXPECT_EQ(glyph_bank(line.unit.glyphs(), *size), glyph_bank(tool.glyphs, *size));
        EXPECT_EQ(tool.glyphs.current_slot, 0);
        EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    }
    EXPECT_TRUE(notices.calls.empty());  // the "GO" answers inside the sequence raise no box
    EXPECT_EQ(tool.link.success_pending, 0);
}

TEST_F(BankSequences, ProgressTextFollowsTheSlot) {
    EXPECT_EQ(bank_progress_text(0, 70), " 00.0");
    EXPECT_EQ(bank_progress_text(1, 70), " 01.4");
    EXPECT_EQ(bank_progress_text(35, 70), " 50.0");
    EXPECT_EQ(bank_progress_text(69, 70), " 98.5");
    EXPECT_EQ(bank_progress_text(70, 70), "100.0");
    EXPECT_EQ(bank_progress_text(255, 256), " 99.6");
    EXPECT_EQ(bank_read_tick_ms(kLarge), 400);
    EXPECT_EQ(bank_read_tick_ms(kSmall), 300);
}

}  // namespace
}  // namespace tvx
