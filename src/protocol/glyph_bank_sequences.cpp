#include "protocol/glyph_bank_sequences.h"

#include <algorithm>

#include "protocol/command_builders.h"
#include "protocol/command_senders.h"
#include "protocol/read_back_sequence.h"

namespace tvx {
namespace {

int slot_percent(int slot, int slot_count) {
    return slot_count > 0 ? std::clamp(slot, 0, slot_count) * 100 / slot_count : 100;
}

// The slots a bank transfer walks: those named (in range, once each, ascending), or every slot.
std::vector<int> slot_order(const GlyphSize& size, std::vector<int> only) {
    if (only.empty()) {
        only.resize(static_cast<std::size_t>(size.slot_count));
        for (int slot = 0; slot < size.slot_count; ++slot) only[static_cast<std::size_t>(slot)] = slot;
        return only;
    }
    std::erase_if(only, [&](int slot) { return slot < 0 || slot >= size.slot_count; });
    std::sort(only.begin(), only.end());
    only.erase(std::unique(only.begin(), only.end()), only.end());
    return only;
}

}  // namespace

int bank_read_tick_ms(const GlyphSize& size) {
    return size.index == kLarge.index ? 400 : 300;
}

std::string bank_progress_text(int current_slot, int slot_count) {
    if (slot_count <= 0) return "100.0";
    const int slot = std::clamp(current_slot, 0, slot_count);
    if (slot == slot_count) return "100.0";
    std::string text = " 00.0";
    text[1] = static_cast<char>('0' + slot * 100 / (10 * slot_count));
    text[2] = static_cast<char>('0' + slot * 100 / slot_count % 10);
    text[4] = static_cast<char>('0' + slot * 1000 / slot_count % 10);
    return text;
}

GlyphBankRead::GlyphBankRead(ToolState& tool, const GlyphSize& size, CommandLink& link, Notices& notices,
                             std::vector<int> only)
    : PacedSequence(tool, link, notices),
      size_(size),
      link_(step_link()),
      notices_(notices),
      order_(slot_order(size, std::move(only))) {}

int GlyphBankRead::position() const {
    // The store moves current_slot one on when the slot's data line came: that slot is done.
    const auto at = static_cast<std::size_t>(position_);
    if (at < order_.size() && tool_.glyphs.current_slot == order_[at] + 1) return position_ + 1;
    return position_;
}

void GlyphBankRead::go_to(int position) {
    position_ = position;
    const auto at = static_cast<std::size_t>(position);
    tool_.glyphs.current_slot = at < order_.size() ? order_[at] : size_.slot_count;
}

int GlyphBankRead::step_count() const {
    return steps_sent() + std::max(0, static_cast<int>(order_.size()) - position());
}

int GlyphBankRead::percent() const {
    if (order_.size() == static_cast<std::size_t>(size_.slot_count))
        return slot_percent(tool_.glyphs.current_slot, size_.slot_count);
    return slot_percent(position(), static_cast<int>(order_.size()));
}

bool GlyphBankRead::can_start() {
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    const int address = tool_.model.run.slave_address;
    if (tool_.config.link_interface == 0 && tool_.config.rs_control == 1 &&
        (address < 0 || address >= kBroadcastAddress)) {
        notices_.notify_error(kReadBackNeedsAddress);
        return false;
    }
    go_to(0);
    // A flag left by a read nobody answered would hold the first request back for ever.
    tool_.glyphs.glyph_reply_pending = 0;
    step_slots_.clear();
    asks_.assign(static_cast<std::size_t>(size_.slot_count), 0);
    not_read_.clear();
    return true;
}

void GlyphBankRead::before_tick() {
    // Only once the last ask has had its answer (or never will: the link's time-out stops the read).
    if (tool_.glyphs.glyph_reply_pending != 0) return;
    go_to(position());
    while (static_cast<std::size_t>(position_) < order_.size() &&
           asks_[static_cast<std::size_t>(order_[static_cast<std::size_t>(position_)])] >= kMaxAsks) {
        not_read_.push_back(order_[static_cast<std::size_t>(position_)]);
        go_to(position_ + 1);
    }
}

std::string GlyphBankRead::slots_not_read_text() const {
    std::string text;
    for (const int slot : not_read_) text += (text.empty() ? "No." : ", No.") + std::to_string(slot + 1);
    return text;
}

bool GlyphBankRead::send_step(int) {
    const int slot = tool_.glyphs.current_slot;
    if (slot < 0 || slot >= size_.slot_count) return false;
    ++asks_[static_cast<std::size_t>(slot)];
    step_slots_.push_back(slot);
    send_glyph_read(tool_.glyphs, size_, glyph_code(slot), link_, notices_, false);
    return true;
}

std::string GlyphBankRead::step_label(int step) const {
    const auto index = static_cast<std::size_t>(step - 1);
    const int slot = index < step_slots_.size() ? step_slots_[index] : tool_.glyphs.current_slot;
    return "No." + std::to_string(slot + 1);
}

std::string GlyphBankRead::interrupted_report() const {
    const int read = position() - static_cast<int>(not_read_.size());
    return PacedSequence::interrupted_report() + "読み込んだ外字 " + std::to_string(std::max(read, 0)) +
           " 文字はそのまま残り、ほかは元のままです。";
}

void GlyphBankRead::finished(State state) {
    // Nobody else waits for a bitmap answer while a list is open.
    tool_.glyphs.glyph_reply_pending = 0;
    if (state != State::kCompleted) return;
    tool_.glyphs.current_slot = 0;
    if (!not_read_.empty())
        notices_.notify_error(std::string(kGlyphsNotRead) + "\n" + slots_not_read_text());
}

GlyphBankRegister::GlyphBankRegister(ToolState& tool, const GlyphSize& size, CommandLink& link,
                                     Notices& notices, std::vector<int> only)
    : PacedSequence(tool, link, notices),
      size_(size),
      link_(step_link()),
      notices_(notices),
      order_(slot_order(size, std::move(only))) {}

int GlyphBankRegister::percent() const {
    if (order_.size() == static_cast<std::size_t>(size_.slot_count))
        return slot_percent(tool_.glyphs.current_slot, size_.slot_count);
    return slot_percent(steps_sent(), step_count());
}

bool GlyphBankRegister::can_start() {
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    tool_.glyphs.current_slot = 0;
    return true;
}

bool GlyphBankRegister::send_step(int step) {
    const auto index = static_cast<std::size_t>(step - 1);
    if (index >= order_.size()) return false;
    const int slot = order_[index];
    tool_.glyphs.current_slot = slot;
    const auto& bank = glyph_bank(tool_.glyphs, size_);
    link_.send_command(build_glyph_register(size_, slot, bank[static_cast<std::size_t>(slot)]));
    tool_.glyphs.current_slot = slot + 1;
    return true;
}

std::string GlyphBankRegister::step_label(int step) const {
    const auto index = static_cast<std::size_t>(step - 1);
    return "No." + std::to_string((index < order_.size() ? order_[index] : step - 1) + 1);
}

void GlyphBankRegister::finished(State state) {
    if (state == State::kCompleted) tool_.glyphs.current_slot = 0;
}

}  // namespace tvx
