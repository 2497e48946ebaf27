#pragma once

#include <array>
#include <string_view>

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"
#include "protocol/read_record.h"

namespace tvx {

// Reading the unit's network settings: ten reads, one per tick, then a quiet eleventh tick that leaves
// time for the last answer and completes the sequence; the reply handling decodes each answer into the
// model's network settings.
inline constexpr int kNetworkReadTickMs = 200;
inline constexpr std::array<std::string_view, 10> kNetworkReads{"REAA", "REGA", "REIA", "RECT", "REKA",
                                                                "REPN", "RESM", "RETR", "REMA", "RVN"};
inline constexpr int kNetworkReadSteps = static_cast<int>(kNetworkReads.size()) + 1;

// Read 1..10 with the data line it asks for and the setting's name as the editor shows it.
ReadStep network_read_step(int read);

class NetworkReadSequence : public PacedSequence {
  public:
    NetworkReadSequence(ToolState& tool, CommandLink& link, Notices& notices)
        : PacedSequence(tool, link, notices), link_(step_link()), notices_(notices) {}
    ~NetworkReadSequence() override { cancel(); }

    int step_count() const override { return kNetworkReadSteps; }

    // Which of the ten reads of the last run read their setting; a completed run with settings unread
    // ends with a notice naming them instead of "Success".
    const ReadRecord& record() const { return record_; }

  protected:
    // No unit answers a broadcast: on RS-485 an address from 00 to 31 must be chosen.
    bool can_start() override;
    bool send_step(int step) override;
    bool step_reads(int) const override { return true; }
    void finished(State state) override;

  private:
    CommandLink& link_;
    Notices& notices_;
    ReadRecord record_{static_cast<int>(kNetworkReads.size()), network_read_step};
};

}  // namespace tvx
