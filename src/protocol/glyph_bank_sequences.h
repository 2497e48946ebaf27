#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "glyphs/glyph_model.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// The glyph lists' whole-bank transfers. Both walk current_slot from 0 through the size's slots, mark
// themselves with bank_sequence_active, and put current_slot back to 0 when they complete.
inline constexpr int kBankRegisterTickMs = 2000;

// The heading of the notice that ends a read-all with glyphs the unit never sent.
inline constexpr std::string_view kGlyphsNotRead = "次の外字は読み込めませんでした（元のままです）。";

// Tick interval of the read-all: 400 ms for large glyphs, 300 ms for the others.
int bank_read_tick_ms(const GlyphSize& size);

// The percentage field: a space, two digits, a point and one digit (" 42.8") for current_slot of
// slot_count; "100.0" once every slot is done.
std::string bank_progress_text(int current_slot, int slot_count);

// Reads every glyph of one size from the unit into its bank. A slot is asked for at the first tick after
// the answer to the one before has arrived: the glyph store moves current_slot on when a data line comes.
// An answer that is no data line lets the next tick ask for the same slot again, up to kMaxAsks asks in
// all; then the slot counts as not read and the read goes on with the next. A completed read with slots
// not read names them. An error answer stops the sequence, as in every sequence.
class GlyphBankRead : public PacedSequence {
  public:
    static constexpr int kMaxAsks = 3;

    // only: the slots to read (0-based); empty for every slot.
    GlyphBankRead(ToolState& tool, const GlyphSize& size, CommandLink& link, Notices& notices,
                  std::vector<int> only = {});
    ~GlyphBankRead() override { cancel(); }

    // The reads sent so far and the slots still to read: a slot asked for again adds a step.
    int step_count() const override;
    int percent() const override;
    const GlyphSize& size() const { return size_; }
    // The slots (0-based) of the last run that were asked kMaxAsks times without their data line.
    const std::vector<int>& slots_not_read() const { return not_read_; }
    // "No.3, No.17"; empty when every slot asked for was read.
    std::string slots_not_read_text() const;
    // Steps are named by the glyph number they asked for: "No.12".
    std::string step_label(int step) const override;
    // The glyphs read before the stop stay in the bank.
    std::string interrupted_report() const override;

  protected:
    // Over TCP a connection must be up; on RS-485 an address from 00 to 31 must be chosen, since no unit
    // answers a broadcast and the sequence would wait for ever.
    bool can_start() override;
    bool send_step(int step) override;
    bool uses_bank_flag() const override { return true; }
    bool waiting() const override { return tool_.glyphs.glyph_reply_pending != 0; }
    bool step_reads(int) const override { return true; }
    // Passes over a slot asked kMaxAsks times whose answers brought no glyph.
    void before_tick() override;
    void finished(State state) override;

  private:
    const GlyphSize& size_;
    CommandLink& link_;
    Notices& notices_;
    // The slot the walk has reached: moved on past the slot just read when the store has taken its line.
    int position() const;
    // Puts current_slot on the walk's slot at position (slot_count past the end).
    void go_to(int position);

    std::vector<int> order_;       // the slots to read, in order
    int position_ = 0;             // index into order_ of the slot being read
    std::vector<int> step_slots_;  // the slot each step asked for
    std::vector<int> asks_;        // asks per slot in this run
    std::vector<int> not_read_;
};

// Registers every glyph of one size's bank on the unit, one slot per tick, without waiting for anything
// but the TCP link's own answer; or only the slots named in only (0-based, ascending).
class GlyphBankRegister : public PacedSequence {
  public:
    GlyphBankRegister(ToolState& tool, const GlyphSize& size, CommandLink& link, Notices& notices,
                      std::vector<int> only = {});
    ~GlyphBankRegister() override { cancel(); }

    int step_count() const override { return static_cast<int>(order_.size()); }
    int percent() const override;
    const GlyphSize& size() const { return size_; }
    // Step k registers the glyph of its slot: "No.12".
    std::string step_label(int step) const override;

  protected:
    bool can_start() override;
    bool send_step(int step) override;
    bool uses_bank_flag() const override { return true; }
    void finished(State state) override;

  private:
    const GlyphSize& size_;
    CommandLink& link_;
    Notices& notices_;
    std::vector<int> order_;  // the slots to register, in order
};

}  // namespace tvx
