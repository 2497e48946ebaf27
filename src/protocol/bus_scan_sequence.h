#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// Asking every RS-485 address 00..31 for its version ("RVN"), one address at a time: each step sets
// slave_address, sends, and waits until that unit answers or the scan's own time-out has passed. The
// scan's time-out is much shorter than the reply time-out of single commands, so an empty bus is done
// in a few seconds.
//
// While the scan runs, the serial reply lines must come to reply_line() instead of the ordinary reply
// handling: an answer is a find, not a "Success", and a missing unit is not "No Connect".
inline constexpr int kBusAddressCount = 32;
inline constexpr int kBusScanTickMs = 20;
inline constexpr int kBusScanTimeoutTicks = 15;  // 300 ms at kBusScanTickMs

struct BusUnit {
    int address = 0;
    std::string version;  // what the unit gave after "VN"; empty when it answered with something else
};

class BusScanSequence : public PacedSequence {
  public:
    BusScanSequence(ToolState& tool, CommandLink& link, Notices& notices,
                    int timeout_ticks = kBusScanTimeoutTicks)
        : PacedSequence(tool, link, notices),
          link_(step_link()),
          notices_(notices),
          timeout_ticks_(timeout_ticks) {}
    ~BusScanSequence() override { cancel(); }

    // One step per address, then a tick that ends the scan once the last address is done.
    int step_count() const override { return kBusAddressCount; }
    int percent() const override;

    // A whole reply line as the serial link assembled it, address and CR LF included.
    void reply_line(std::string_view line);

    // Units that answered, by address.
    std::vector<BusUnit> found() const;

    // The step of the highest address that has answered: an unanswered address is no failure here.
    int last_answered_step() const override;
    // Steps are named by the address they asked: "アドレス 05".
    std::string step_label(int step) const override;

  protected:
    // Only on the serial interface with RS-485: elsewhere there is no bus to scan.
    bool can_start() override;
    bool send_step(int step) override;
    bool waiting() const override;
    void waited() override { ++waited_ticks_; }
    // An address nobody answers is what the scan is for; only a lost port stops it.
    bool stops_when_unanswered() const override { return false; }
    bool step_reads(int) const override { return true; }
    void finished(State state) override;

  private:
    CommandLink& link_;
    Notices& notices_;
    int timeout_ticks_;
    int asked_ = -1;        // the address of the step under way
    int waited_ticks_ = 0;  // ticks spent waiting for it
    std::array<std::optional<std::string>, kBusAddressCount> answers_{};
    int saved_address_ = 0;
};

}  // namespace tvx
