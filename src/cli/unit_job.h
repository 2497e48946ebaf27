#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/backup_manifest.h"
#include "cli/cli_notices.h"
#include "cli/cli_options.h"
#include "cli/clock_setting.h"
#include "cli/reason_code.h"
#include "link/unit_channel.h"
#include "model/settings_compare.h"
#include "model/tool_state.h"
#include "protocol/full_send_sequence.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// How one unit is reached, for its label, the report and a backup's manifest.
struct UnitLink {
    std::string host;  // TCP: the unit's host (client role) or its address (server role)
    int port = 0;
    std::string device;        // serial
    std::optional<int> rs485;  // serial RS-485: 0..31, 32 for the broadcast

    // "127.0.0.1:9004", "[::1]:9004", "/dev/ttyS0", "/dev/ttyS0 address 05", "/dev/ttyS0 broadcast".
    std::string label() const;
    // What starts the unit's result lines on standard output: "127.0.0.1:9004", "[::1]:9004", the RS-485
    // address as written ("05", "broadcast"), or the serial device.
    std::string output_label() const;
    // {"host": ..., "port": ...} or {"device": ..., "rs485_address": 5 | "broadcast"}.
    std::string json() const;
};

// What every unit's session of one run is given.
struct JobInput {
    CliOptions::Command command = CliOptions::Command::kSend;
    std::string line;                         // send, without CR LF
    const SettingsModel* document = nullptr;  // send-all and restore: the document as read
    const GlyphModel* banks = nullptr;        // glyphs register and restore: the banks as read
    const GlyphSize* glyph_size = nullptr;    // glyphs read and register
    bool verify = false;                      // read back what was sent and compare
    bool check = false;                       // apply: read and compare only
    std::optional<int> pace_ms;               // a fixed tick; none for the tool's own pace
    bool pace_reply = false;
    int reply_timeout_ms = 3000;
    std::optional<int> rs485;  // serial RS-485 address, 32 for the broadcast
    std::optional<ClockTime> clock_at;  // set-clock --at; none for the computer's local time
};

// What set-clock did on one unit.
struct ClockResult {
    std::string time_set;         // "2024-05-01T12:00:05", the unit's local time
    std::string seconds_answered;  // when the seconds command was answered, UTC with milliseconds
};

// One unit's run of the command: its own tool state, notices and link, and the command's paced sequences
// (one, or several one after another on the same link: a backup reads the settings and the three glyph
// banks) driven at the chosen pace. It ends once: done() with succeeded() telling the outcome. The
// session (tool state, link, sequence) can then be let go; the outcome stays.
class UnitJob : public QObject {
    Q_OBJECT

  public:
    using ChannelMaker = std::function<std::unique_ptr<UnitChannel>(ToolState&, Notices&)>;

    // output: the file (read-back, glyphs read) or folder (backup) this unit's result goes to, already
    // named for the unit.
    UnitJob(const JobInput& input, std::string output, UnitLink link, Console& console,
            ChannelMaker make_channel, QObject* parent = nullptr);
    ~UnitJob() override;

    // Messages of this unit start with prefix (set it once the label is known).
    void set_notice_prefix(std::string prefix) { notices_.set_prefix(std::move(prefix)); }

    // Opens the unit's session; the command starts once the channel is ready.
    void start();
    // After done(): lets the session go (its link closes), keeping the outcome.
    void release();
    // A signal stops the run: no further line goes to the unit; a line whose answer is due may still get
    // it within the time-out. Then done() follows, the unit failed as interrupted at the step it reached
    // (a unit not started yet fails at once). A single send whose line is out ends as its answer says.
    void interrupt();

    bool started() const { return started_; }
    bool finished() const { return finished_; }
    bool succeeded() const { return succeeded_; }
    std::string label() const { return link_.label(); }
    const UnitLink& link() const { return link_; }
    int percent() const;
    // A short note for the progress line and the summary: "step 12 of 119", "done, wrote a.dat", ...
    std::string outcome() const;
    // Why the unit failed, in the tool's words; empty when it did not.
    const std::string& failure() const { return failure_; }
    // The same as a stable word for scripts; kNone when the unit did not fail.
    ReasonCode reason_code() const { return reason_code_; }
    // The step a failure or an interruption stopped the unit at; 0 when at no step.
    int stopped_at_step() const { return stopped_at_step_; }
    // Steps the unit answered as asked (a broadcast's lines, which nobody answers, once written).
    int steps_done() const;
    int steps_planned() const;
    // From start() to the end; so far while running.
    double seconds() const;
    // send: the answer as handled (address dropped), when one came.
    const std::optional<std::string>& reply_line() const { return reply_line_; }
    // --verify: what the unit holds that differs from what was sent (empty when the same).
    bool verified() const { return verified_; }
    const std::vector<SettingDifference>& differences() const { return differences_; }
    // set-clock: what was set, once the seconds command was answered.
    const std::optional<ClockResult>& clock_result() const { return clock_result_; }
    // The unit's version answer, once its settings were read (read-back, backup, apply).
    const std::optional<std::string>& version() const { return version_; }
    // apply: whether the unit was read and compared with the source, whether it differed, and what
    // differed (where, setting, the unit's value before, the source's after).
    bool compared() const { return compared_; }
    bool changed() const { return changed_; }
    const std::vector<SettingDifference>& changes() const { return changes_; }

  signals:
    void done();

  private:
    struct Phase {
        enum class Kind { kReadBack, kFullSend, kGlyphRead, kGlyphRegister };
        Phase(Kind k, const GlyphSize* s = nullptr, bool v = false, std::vector<int> o = {},
              std::vector<FullSendItem> i = {})
            : kind(k), size(s), verifies(v), only(std::move(o)), items(std::move(i)) {}

        Kind kind;
        const GlyphSize* size = nullptr;
        bool verifies = false;  // a read that is compared with what was sent
        std::vector<int> only;  // some read-back steps or glyph slots instead of all; empty for all
        std::vector<FullSendItem> items;  // a send of some settings only; empty for the whole send
    };

    void plan();
    void plan_apply();
    void begin();
    void start_phase();
    void phase_completed();
    void on_answered();
    void tick();
    void kick();
    bool write_outputs();
    ManifestHead manifest_head() const;
    void complete();
    void fail(std::string why, ReasonCode code);
    void fail_for_channel();
    void stop_interrupted();
    ReasonCode code_of_stop() const;
    int steps_as_asked_now() const;
    int steps_sent_now() const;
    void clock_begin();
    void clock_send();
    void clock_answered();
    void clock_next(int pause_ms);
    void finish(bool ok);
    int default_pace_ms(const Phase& phase) const;
    static int planned_steps(const Phase& phase);

    JobInput input_;
    std::string output_;
    UnitLink link_;
    CliNotices notices_;
    ChannelMaker make_channel_;
    std::unique_ptr<ToolState> tool_;
    std::unique_ptr<UnitChannel> channel_;
    std::unique_ptr<PacedSequence> sequence_;
    std::vector<Phase> phases_;
    std::size_t phase_ = 0;
    int steps_before_ = 0;  // steps of the phases completed
    int as_asked_before_ = 0;  // of those, the steps answered as asked
    int steps_at_end_ = 0;  // steps done when the job ended (its session may have gone since)
    QTimer pace_timer_;
    QTimer kick_timer_;
    QElapsedTimer clock_;
    qint64 elapsed_ms_ = -1;
    bool started_ = false;
    bool started_command_ = false;
    bool finishing_ = false;
    bool finished_ = false;
    bool succeeded_ = false;
    bool hold_refused_ = false;
    bool interrupting_ = false;
    ReasonCode reason_code_ = ReasonCode::kNone;
    ReasonCode not_taken_code_ = ReasonCode::kNone;  // how the first step not taken was answered
    // set-clock: 0 the seconds command that gives the unit's minute room, then year..seconds as 1..6.
    int clock_step_ = 0;
    int clock_as_asked_ = 0;
    int clock_tries_ = 0;
    ClockTime clock_target_;
    QElapsedTimer clock_exchange_;
    qint64 clock_round_trip_ms_ = 0;
    bool clock_waited_for_second_ = false;
    QTimer clock_timer_;
    std::optional<ClockResult> clock_result_;
    std::optional<std::string> version_;
    bool compared_ = false;
    bool changed_ = false;
    std::vector<SettingDifference> changes_;
    std::uint64_t mode_differences_seen_ = 0;
    std::vector<std::string> not_taken_;  // per phase, the steps the unit did not take
    int stopped_at_step_ = 0;           // the step a failure stopped the job at; 0 when at no step
    bool verified_ = false;
    std::string failure_;
    std::optional<std::string> reply_line_;
    std::vector<SettingDifference> differences_;
};

}  // namespace tvx
