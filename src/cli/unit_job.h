#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_notices.h"
#include "cli/cli_options.h"
#include "cli/unit_channel.h"
#include "model/tool_state.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// What every unit's session of one run is given.
struct JobInput {
    CliOptions::Command command = CliOptions::Command::kSend;
    std::string line;                         // send, without CR LF
    const SettingsModel* document = nullptr;  // send-all: the document as read
    const GlyphModel* banks = nullptr;        // glyphs register: the bank as read
    const GlyphSize* glyph_size = nullptr;    // glyphs read and register
    std::optional<int> pace_ms;               // a fixed tick; none for the tool's own pace
    bool pace_reply = false;
    int reply_timeout_ms = 3000;
    std::optional<int> rs485;  // serial RS-485 address, 32 for the broadcast
};

// One unit's run of the command: its own tool state, notices and link, and the command's paced sequence
// driven at the chosen pace. It ends once: done() with succeeded() telling the outcome.
class UnitJob : public QObject {
    Q_OBJECT

  public:
    using ChannelMaker = std::function<std::unique_ptr<UnitChannel>(ToolState&, Notices&)>;

    // output: the file this unit's result goes to (read-back, glyphs read), already named for the unit.
    UnitJob(const JobInput& input, std::string output, Console& console, ChannelMaker make_channel,
            QObject* parent = nullptr);
    ~UnitJob() override;

    // Messages of this unit start with prefix (set it once the label is known).
    void set_notice_prefix(std::string prefix) { notices_.set_prefix(std::move(prefix)); }

    // Sets the unit's tool state up and makes its channel, so that label() can name it.
    void prepare();
    // Opens the channel (preparing first if need be); the command starts once the channel is ready.
    void start();

    bool finished() const { return finished_; }
    bool succeeded() const { return succeeded_; }
    std::string label() const;
    int percent() const;
    // A short note for the progress line and the summary: "step 12 of 119", "done, wrote a.dat", ...
    std::string outcome() const;
    // send: the answer as handled (address dropped), when one came.
    const std::optional<std::string>& reply_line() const { return reply_line_; }
    const ToolState& tool() const { return tool_; }

  signals:
    void done();

  private:
    void begin();
    void on_answered();
    void tick();
    void kick();
    bool glyph_read_gives_up();
    void complete();
    void fail(std::string why);
    void finish(bool ok);
    int default_pace_ms() const;

    JobInput input_;
    std::string output_;
    ToolState tool_;
    CliNotices notices_;
    ChannelMaker make_channel_;
    std::unique_ptr<UnitChannel> channel_;
    std::unique_ptr<PacedSequence> sequence_;
    QTimer pace_timer_;
    QTimer kick_timer_;
    bool started_command_ = false;
    bool finishing_ = false;
    bool finished_ = false;
    bool succeeded_ = false;
    std::string failure_;
    std::optional<std::string> reply_line_;
    int last_asked_slot_ = -1;
    int asks_ = 0;
};

}  // namespace tvx
