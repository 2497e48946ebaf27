#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_notices.h"
#include "cli/cli_options.h"
#include "link/unit_channel.h"
#include "model/settings_compare.h"
#include "model/tool_state.h"
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
    std::optional<int> pace_ms;               // a fixed tick; none for the tool's own pace
    bool pace_reply = false;
    int reply_timeout_ms = 3000;
    std::optional<int> rs485;  // serial RS-485 address, 32 for the broadcast
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
    int steps_done() const;
    int steps_planned() const;
    // From start() to the end; so far while running.
    double seconds() const;
    // send: the answer as handled (address dropped), when one came.
    const std::optional<std::string>& reply_line() const { return reply_line_; }
    // --verify: what the unit holds that differs from what was sent (empty when the same).
    bool verified() const { return verified_; }
    const std::vector<SettingDifference>& differences() const { return differences_; }

  signals:
    void done();

  private:
    struct Phase {
        enum class Kind { kReadBack, kFullSend, kGlyphRead, kGlyphRegister } kind;
        const GlyphSize* size = nullptr;
        bool verifies = false;  // a read that is compared with what was sent
    };

    void plan();
    void begin();
    void start_phase();
    void phase_completed();
    void on_answered();
    void tick();
    void kick();
    bool write_outputs();
    std::string manifest() const;
    void complete();
    void fail(std::string why);
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
    std::uint64_t mode_differences_seen_ = 0;
    std::vector<std::string> not_taken_;  // per phase, the steps the unit did not take
    int stopped_at_step_ = 0;           // the step a failure stopped the job at; 0 when at no step
    bool verified_ = false;
    std::string failure_;
    std::optional<std::string> reply_line_;
    std::vector<SettingDifference> differences_;
};

}  // namespace tvx
