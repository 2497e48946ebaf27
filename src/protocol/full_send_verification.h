#pragma once

#include <optional>
#include <vector>

#include "model/settings_compare.h"
#include "protocol/full_send_sequence.h"
#include "protocol/read_back_sequence.h"

namespace tvx {

// The full settings send followed by a read-back of the same unit, for "送信後に照合": the settings are
// sent from the model as always; then, while the unit is read, the model holds what the unit answers and
// the settings in memory wait aside; whichever way the sequence ends they are put back as they were (the
// run state aside). Once it has completed, differences() lists what the unit holds that differs from what
// was sent, and every setting the unit did not give back (answered by anything but its data line, or not
// at all), which cannot count as the same. The last read waits for its answer on the serial line too (or for
// the link's time-out), so that no late answer can reach the settings put back.
class FullSendAndReadBack : public PacedSequence {
  public:
    // The sending steps, the step that turns to reading, then the reads.
    static constexpr int kSendSteps = kFullSendSteps - 1;
    static constexpr int kSteps = kSendSteps + 1 + kReadBackSteps;
    static constexpr int kProgressRange = kFullSendProgressRange + kReadBackProgressRange;

    FullSendAndReadBack(ToolState& tool, CommandLink& link, Notices& notices);
    ~FullSendAndReadBack() override;

    int step_count() const override { return kSteps; }
    int percent() const override { return steps_sent() * 100 / kProgressRange; }

    // Whether the last run completed and was compared, and what differed (the value sent first).
    bool verified() const { return verified_; }
    const std::vector<SettingDifference>& differences() const { return differences_; }

    // The send's names, the turn to reading, then the read-back's names.
    std::string step_name(int step) const override;
    // A run stopped while reading compares nothing: the settings in memory are as they were.
    std::string interrupted_report() const override;

  protected:
    // As the full send; and since the unit must answer, not to the broadcast.
    bool can_start() override;
    bool send_step(int step) override;
    bool waiting() const override;
    bool step_reads(int step) const override { return step > kSendSteps + 1; }
    void finished(State state) override;

  private:
    // The two sequences' own steps, taken as parts of this one.
    struct Send : FullSendSequence {
        using FullSendSequence::FullSendSequence;
        using FullSendSequence::send_step;
    };
    struct Read : ReadBackSequence {
        using ReadBackSequence::can_start;
        using ReadBackSequence::finished;
        using ReadBackSequence::ReadBackSequence;
        using ReadBackSequence::send_step;
    };

    Send send_;
    Read read_;
    std::optional<SettingsModel> kept_;  // the settings in memory while the unit's are read
    bool verified_ = false;
    std::vector<SettingDifference> differences_;
};

}  // namespace tvx
