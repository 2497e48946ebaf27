#include "cli/unit_job.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QTime>
#include <algorithm>
#include <utility>

#include "cli/console.h"
#include "cli/json_text.h"
#include "cli/unit_backup.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "protocol/apply_plan.h"
#include "protocol/command_builders.h"
#include "protocol/full_send_sequence.h"
#include "protocol/glyph_bank_sequences.h"
#include "protocol/read_back_sequence.h"
#include "protocol/send_verification.h"
#include "protocol/title_encoding.h"

namespace tvx {
namespace {

// set-clock on a broadcast, which nobody answers: the pause between its lines unless --pace says.
constexpr int kBroadcastClockPaceMs = 300;
// Room left in the minute beyond the exchanges themselves, and the wait for the start of a second.
constexpr int kClockSlackMs = 2000;

std::optional<ClockTime> local_time_in(int ms_ahead) {
    return clock_time_of(QDateTime::currentDateTime().addMSecs(ms_ahead));
}

std::string two_digits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// The unit answered "GN" to what was sent: in its present mode it did not take it.
constexpr std::string_view kNotTakenText = "本機がモード違い（GN）で受け付けませんでした";

// A notice of several lines as one line of the summary.
std::string one_line(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
        text.replace(at, 1, "; ");
    return text;
}

// The step outcomes that count as done: answered as asked, or written where nobody answers.
bool done_as_asked(PacedSequence::StepOutcome outcome) {
    return outcome == PacedSequence::StepOutcome::kAsAsked || outcome == PacedSequence::StepOutcome::kNotAwaited;
}

int as_asked_steps(const PacedSequence& sequence, int planned) {
    int done = 0;
    for (int step = 1; step <= sequence.steps_sent(); ++step) done += done_as_asked(sequence.outcome(step)) ? 1 : 0;
    return std::min(done, planned);
}

ReasonCode code_of_outcome(PacedSequence::StepOutcome outcome) {
    using O = PacedSequence::StepOutcome;
    switch (outcome) {
        case O::kErrorReply:
            return ReasonCode::kErrorReply;
        case O::kModeDifference:
            return ReasonCode::kModeDifference;
        case O::kUnexpected:
            return ReasonCode::kUnexpectedAnswer;
        case O::kNoAnswer:
            return ReasonCode::kTimeout;
        case O::kLinkLost:
            return ReasonCode::kConnectionClosed;
        default:
            return ReasonCode::kNone;
    }
}

std::string verify_failed_text(std::size_t count) {
    return "照合の結果、送信した内容と本機の内容に " + std::to_string(count) + " 件の差分があります";
}

}  // namespace

std::string UnitLink::label() const {
    if (!device.empty()) {
        if (!rs485) return device;
        if (*rs485 < 0 || *rs485 >= kBroadcastAddress) return device + " broadcast";
        return device + " address " + two_digits(*rs485);
    }
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string UnitLink::output_label() const {
    if (!device.empty()) {
        if (!rs485) return device;
        if (*rs485 < 0 || *rs485 >= kBroadcastAddress) return "broadcast";
        return two_digits(*rs485);
    }
    return label();
}

std::string UnitLink::json() const {
    if (!device.empty()) {
        std::string out = "{\"device\": " + json_string(device);
        if (rs485) {
            out += ", \"rs485_address\": ";
            out += *rs485 >= 0 && *rs485 < kBroadcastAddress ? std::to_string(*rs485) : "\"broadcast\"";
        }
        return out + "}";
    }
    return "{\"host\": " + json_string(host) + ", \"port\": " + std::to_string(port) + "}";
}

UnitJob::UnitJob(const JobInput& input, std::string output, UnitLink link, Console& console,
                 ChannelMaker make_channel, QObject* parent)
    : QObject(parent),
      input_(input),
      output_(std::move(output)),
      link_(std::move(link)),
      notices_(console, "tvx230-cli: "),
      make_channel_(std::move(make_channel)) {
    pace_timer_.setTimerType(Qt::PreciseTimer);
    connect(&pace_timer_, &QTimer::timeout, this, &UnitJob::tick);
    kick_timer_.setSingleShot(true);
    kick_timer_.setInterval(0);
    connect(&kick_timer_, &QTimer::timeout, this, &UnitJob::tick);
    clock_timer_.setSingleShot(true);
    connect(&clock_timer_, &QTimer::timeout, this, &UnitJob::clock_send);
    plan();
}

UnitJob::~UnitJob() {
    pace_timer_.stop();
    kick_timer_.stop();
    clock_timer_.stop();
    sequence_.reset();
    if (channel_) channel_->close();
}

void UnitJob::plan() {
    using Command = CliOptions::Command;
    using Kind = Phase::Kind;
    const auto each_size = [this](Kind kind, bool verifies) {
        for (const GlyphSize* size : kGlyphSizes) phases_.push_back({kind, size, verifies});
    };
    switch (input_.command) {
        case Command::kReadBack:
            phases_.push_back({Kind::kReadBack});
            break;
        case Command::kSendAll:
            phases_.push_back({Kind::kFullSend});
            if (input_.verify) phases_.push_back({Kind::kReadBack, nullptr, true});
            break;
        case Command::kGlyphRead:
            phases_.push_back({Kind::kGlyphRead, input_.glyph_size});
            break;
        case Command::kGlyphRegister:
            phases_.push_back({Kind::kGlyphRegister, input_.glyph_size});
            if (input_.verify) phases_.push_back({Kind::kGlyphRead, input_.glyph_size, true});
            break;
        case Command::kBackup:
            phases_.push_back({Kind::kReadBack});
            each_size(Kind::kGlyphRead, false);
            break;
        case Command::kApply:
            // The unit is read first; what goes to it is planned once it has been (plan_apply).
            phases_.push_back({Kind::kReadBack});
            if (input_.banks) each_size(Kind::kGlyphRead, false);
            break;
        case Command::kRestore:
            phases_.push_back({Kind::kFullSend});
            each_size(Kind::kGlyphRegister, false);
            if (input_.verify) {
                phases_.push_back({Kind::kReadBack, nullptr, true});
                each_size(Kind::kGlyphRead, true);
            }
            break;
        default:
            break;
    }
}

int UnitJob::planned_steps(const Phase& phase) {
    switch (phase.kind) {
        case Phase::Kind::kReadBack:
            return phase.only.empty() ? kReadBackSteps : static_cast<int>(phase.only.size());
        case Phase::Kind::kFullSend:
            return phase.items.empty() ? kFullSendSteps - 1 : static_cast<int>(phase.items.size());
        case Phase::Kind::kGlyphRead:
        case Phase::Kind::kGlyphRegister:
            return phase.only.empty() ? phase.size->slot_count : static_cast<int>(phase.only.size());
    }
    return 0;
}

void UnitJob::plan_apply() {
    // The unit as read against the source, by the lines the full send would send for each: only what
    // differs goes, and each change is listed with the unit's value before it and the source's after.
    const SettingsModel& source = *input_.document;
    const SettingsModel& unit = tool_->model;
    const std::vector<FullSendItem> items = differing_send_items(source, unit);
    for (SettingDifference& d : compare_sent_with_read_back(source, unit)) {
        std::swap(d.value_a, d.value_b);
        changes_.push_back(std::move(d));
    }
    std::vector<std::pair<const GlyphSize*, std::vector<int>>> glyphs;
    if (input_.banks) {
        for (const GlyphSize* size : kGlyphSizes) {
            std::vector<int> differing = differing_glyph_slots(*input_.banks, tool_->glyphs, *size);
            if (differing.empty()) continue;
            for (SettingDifference& d : glyph_differences(tool_->glyphs, *input_.banks, *size, differing))
                changes_.push_back(std::move(d));
            glyphs.emplace_back(size, std::move(differing));
        }
    }
    compared_ = true;
    changed_ = !items.empty() || !glyphs.empty();
    // A line the source cannot give is refused: a hold time below 3 seconds while the rest goes, a title
    // the unit cannot show by stopping the send. The unit will then not hold the source, which --check
    // says as well, so that a check does not promise a run that must fail.
    const auto refused = std::find_if(items.begin(), items.end(),
                                      [&](const FullSendItem& item) { return !full_send_item_command(source, item); });
    if (input_.check) {
        if (refused != items.end()) {
            const std::string_view why = refused->step <= kPageCount ? kTitleRefused : kAlarmHoldTooShort;
            fail(std::string(why) + ": " + full_send_step_name(refused->step), ReasonCode::kDocument);
        }
        return;
    }
    using Kind = Phase::Kind;
    if (!items.empty()) phases_.push_back({Kind::kFullSend, nullptr, false, {}, items});
    for (const auto& [size, numbers] : glyphs) phases_.push_back({Kind::kGlyphRegister, size, false, numbers});
    // What went out is read back and compared again.
    if (!items.empty()) phases_.push_back({Kind::kReadBack, nullptr, true, read_back_steps_for(items)});
    for (const auto& [size, numbers] : glyphs) phases_.push_back({Kind::kGlyphRead, size, true, numbers});
    hold_refused_ = refused != items.end() && refused->step > kPageCount;
}

int UnitJob::steps_planned() const {
    if (input_.command == CliOptions::Command::kSetClock) return kClockLines + 1;
    if (phases_.empty()) return 1;  // send: one line
    int total = 0;
    for (const Phase& phase : phases_) total += planned_steps(phase);
    return total;
}

int UnitJob::steps_done() const {
    if (finished_) return steps_at_end_;
    return steps_as_asked_now();
}

int UnitJob::steps_as_asked_now() const {
    if (input_.command == CliOptions::Command::kSetClock) return std::min(clock_as_asked_, steps_planned());
    // send: its one line, once answered without an error or "GN".
    if (phases_.empty()) return finishing_ && failure_.empty() && reply_line_ ? 1 : 0;
    int current = 0;
    if (sequence_ && phase_ < phases_.size()) current = as_asked_steps(*sequence_, planned_steps(phases_[phase_]));
    return as_asked_before_ + current;
}

int UnitJob::steps_sent_now() const {
    if (sequence_ && phase_ < phases_.size())
        return steps_before_ + std::min(sequence_->steps_sent(), planned_steps(phases_[phase_]));
    return steps_before_;
}

double UnitJob::seconds() const {
    if (elapsed_ms_ >= 0) return static_cast<double>(elapsed_ms_) / 1000.0;
    return clock_.isValid() ? static_cast<double>(clock_.elapsed()) / 1000.0 : 0.0;
}

int UnitJob::percent() const {
    // A sequence's own progress stops short of 100 (119 of 120 steps); done is done.
    if (finished_ && succeeded_) return 100;
    if (phases_.size() == 1 && sequence_ && !finished_) return sequence_->percent();
    const int progress = finished_ ? steps_done() : std::max(steps_done(), steps_sent_now());
    return progress * 100 / std::max(1, steps_planned());
}

std::string UnitJob::outcome() const {
    const std::string steps = std::to_string(steps_sent_now()) + " of " + std::to_string(steps_planned());
    if (finished_ && !succeeded_) {
        std::string text = "failed";
        // A run that failed at its end (settings not read, differences found) failed at no step; one
        // stopped while a step was under way names it, the last one too.
        if (stopped_at_step_ > 0 && steps_planned() > 1)
            text += " at step " + std::to_string(stopped_at_step_) + " of " + std::to_string(steps_planned());
        return failure_.empty() ? text : text + ": " + failure_;
    }
    if (finished_ && compared_) {
        const std::string count = std::to_string(changes_.size());
        if (!changed_) return "done, unchanged";
        if (input_.check) return "done, would change " + count + (changes_.size() == 1 ? " setting" : " settings");
        return "done, changed " + count + (changes_.size() == 1 ? " setting" : " settings") + ", verified";
    }
    if (finished_) {
        std::string text = output_.empty() ? "done" : "done, wrote " + output_;
        return verified_ ? text + ", verified" : text;
    }
    if (!started_) return "waiting for its turn";
    if (!started_command_) return "connecting";
    if (sequence_) return "step " + steps;
    if (input_.command == CliOptions::Command::kSetClock)
        return "step " + std::to_string(clock_step_ + 1) + " of " + std::to_string(steps_planned());
    return "waiting for the answer";
}

void UnitJob::start() {
    if (started_) return;
    started_ = true;
    clock_.start();
    tool_ = std::make_unique<ToolState>();
    ToolState& tool = *tool_;
    reset_settings(tool);
    tool.config.rs_control = input_.rs485 ? 1 : 0;
    if (input_.rs485) tool.model.run.slave_address = *input_.rs485;
    if (input_.document) {
        tool.model = *input_.document;
        tool.model.run = RunState{};
        if (input_.rs485) tool.model.run.slave_address = *input_.rs485;
    }
    if (input_.banks) {
        if (input_.glyph_size) {
            glyph_bank(tool.glyphs, *input_.glyph_size) = glyph_bank(*input_.banks, *input_.glyph_size);
        } else {
            for (const GlyphSize* size : kGlyphSizes)
                glyph_bank(tool.glyphs, *size) = glyph_bank(*input_.banks, *size);
        }
    }
    tool.link.app_running = 1;

    channel_ = make_channel_(tool, notices_);
    channel_->set_reply_timeout_ms(input_.reply_timeout_ms);
    connect(channel_.get(), &UnitChannel::ready, this, &UnitJob::begin);
    connect(channel_.get(), &UnitChannel::open_failed, this,
            [this] { fail(notices_.last_problem(), ReasonCode::kConnectionRefused); });
    connect(channel_.get(), &UnitChannel::answered, this, &UnitJob::on_answered);
    channel_->open();
}

void UnitJob::release() {
    if (!finished_) return;
    pace_timer_.stop();
    kick_timer_.stop();
    clock_timer_.stop();
    sequence_.reset();
    if (channel_) {
        channel_->close();
        channel_.reset();
    }
    tool_.reset();
}

int UnitJob::default_pace_ms(const Phase& phase) const {
    switch (phase.kind) {
        case Phase::Kind::kReadBack:
            return kReadBackTickMs;
        case Phase::Kind::kFullSend:
            return kFullSendTickMs;
        case Phase::Kind::kGlyphRead:
            return bank_read_tick_ms(*phase.size);
        case Phase::Kind::kGlyphRegister:
            return kBankRegisterTickMs;
    }
    return kReadBackTickMs;
}

void UnitJob::begin() {
    if (finished_ || started_command_) return;
    if (interrupting_) {
        stop_interrupted();
        return;
    }
    started_command_ = true;

    if (input_.command == CliOptions::Command::kSetClock) {
        clock_begin();
        return;
    }
    if (input_.command == CliOptions::Command::kSend) {
        channel_->send_command(input_.line + "\r\n");
        if (channel_->failed()) return;                // on_answered has ended the job
        if (!channel_->awaiting_answer()) complete();  // a broadcast: nobody answers
        return;
    }
    if (phases_.empty()) {
        fail("not a command for a unit", ReasonCode::kDocument);
        return;
    }
    phase_ = 0;
    start_phase();
}

void UnitJob::start_phase() {
    ToolState& tool = *tool_;
    const Phase& phase = phases_[phase_];
    sequence_.reset();
    const bool apply = input_.command == CliOptions::Command::kApply;
    switch (phase.kind) {
        case Phase::Kind::kReadBack:
            if (phase.verifies) {
                // What the unit holds goes into a model of its own; what was sent stays in input_.document.
                // It starts as what was sent: a setting not read is listed once, as not read, and never
                // again as a difference against a default the unit never gave.
                const RunState run = tool.model.run;
                tool.model = *input_.document;
                tool.model.run = run;
            }
            sequence_ = std::make_unique<ReadBackSequence>(tool, *channel_, notices_, phase.only);
            break;
        case Phase::Kind::kFullSend:
            if (apply) {
                // The settings read from the unit give way to the source's for the send.
                const RunState run = tool.model.run;
                tool.model = *input_.document;
                tool.model.run = run;
            }
            sequence_ = std::make_unique<FullSendSequence>(tool, *channel_, notices_, phase.items);
            break;
        case Phase::Kind::kGlyphRead:
            if (phase.verifies) {
                // The slots read back start blank; the others hold what was registered, which is what
                // the unit held already.
                auto& bank = glyph_bank(tool.glyphs, *phase.size);
                if (!phase.only.empty()) bank = glyph_bank(*input_.banks, *phase.size);
                for (std::size_t slot = 0; slot < bank.size(); ++slot) {
                    const bool read = phase.only.empty() ||
                                      std::find(phase.only.begin(), phase.only.end(), static_cast<int>(slot)) !=
                                          phase.only.end();
                    if (read) std::fill(bank[slot].begin(), bank[slot].end(), '0');
                }
            }
            sequence_ = std::make_unique<GlyphBankRead>(tool, *phase.size, *channel_, notices_, phase.only);
            break;
        case Phase::Kind::kGlyphRegister:
            if (apply) glyph_bank(tool.glyphs, *phase.size) = glyph_bank(*input_.banks, *phase.size);
            sequence_ = std::make_unique<GlyphBankRegister>(tool, *phase.size, *channel_, notices_, phase.only);
            break;
    }
    if (!sequence_->start()) {
        // The sequence has said why (a broadcast read, say): nothing can be read.
        fail(notices_.last_problem(), ReasonCode::kNotRead);
        return;
    }
    if (input_.pace_reply) {
        kick();
    } else {
        pace_timer_.start(input_.pace_ms.value_or(default_pace_ms(phase)));
        kick();  // the first step at once, the others at the pace
    }
}

void UnitJob::phase_completed() {
    pace_timer_.stop();
    kick_timer_.stop();
    // A copy: apply plans its sends below, which adds to phases_ and would leave a reference dangling.
    const Phase phase = phases_[phase_];
    // Steps the unit answered with "GN", an error or something unexpected: the sequence went on past
    // them, as in the tool, but a send that left something untaken has not done its job.
    const std::string not_taken = sequence_->steps_not_taken_notice();
    if (!not_taken.empty()) not_taken_.push_back(one_line(not_taken));
    const std::vector<int> steps_not_taken = sequence_->steps_not_taken();
    if (!steps_not_taken.empty() && not_taken_code_ == ReasonCode::kNone)
        not_taken_code_ = code_of_outcome(sequence_->outcome(steps_not_taken.front()));
    as_asked_before_ += as_asked_steps(*sequence_, planned_steps(phase));
    steps_before_ += planned_steps(phase);
    if (phase.kind == Phase::Kind::kFullSend && phase.items.empty() &&
        alarm_hold_seconds(tool_->model.alarm_hold_time) < 3) {
        // The hold time was refused with its notice and the rest went out, as in the tool; the unit does
        // not hold the whole document, which a script must learn from the exit status.
        hold_refused_ = true;
    }
    if (phase.kind == Phase::Kind::kReadBack) {
        const auto& read_back = static_cast<const ReadBackSequence&>(*sequence_);
        if (!read_back.unread_steps().empty() && !phase.verifies) {
            // The sequence's notice has named the settings not read. A document holding values the unit
            // did not give (the defaults of this run) is not written: it would pass for the unit's settings.
            fail("not read: " + one_line(read_back.unread_description()), ReasonCode::kNotRead);
            return;
        }
        // A setting not read cannot count as the same: verification lists it.
        for (const int step : read_back.unread_steps()) {
            const ReadStep read = read_back.record().step(step);
            differences_.push_back(
                {std::string(read.group), read_step_name(read), "", std::string(kNotReadBack)});
        }
    }
    std::vector<int> slots_not_read;
    if (phase.kind == Phase::Kind::kGlyphRead) {
        const auto& read = static_cast<const GlyphBankRead&>(*sequence_);
        slots_not_read = read.slots_not_read();
        if (!slots_not_read.empty() && !phase.verifies) {
            // A bank file holding glyphs the unit never sent would pass for the unit's bank.
            fail("not read: " + read.slots_not_read_text(), ReasonCode::kNotRead);
            return;
        }
    }
    if (phase.verifies) {
        std::vector<SettingDifference> found =
            phase.kind == Phase::Kind::kReadBack
                ? compare_sent_with_read_back(*input_.document, tool_->model)
                : compare_glyph_banks(*input_.banks, tool_->glyphs, *phase.size);
        // A glyph not read is listed once, as not read, not against the blank it was read into.
        for (const int slot : slots_not_read) {
            const std::string name = "No." + std::to_string(slot + 1);
            std::erase_if(found, [&](const SettingDifference& d) { return d.setting == name; });
            const std::string& sent = glyph_bank(*input_.banks, *phase.size)[static_cast<std::size_t>(slot)];
            differences_.push_back({std::string(phase.size->name) + "外字", name,
                                    sent.substr(0, static_cast<std::size_t>(phase.size->digits)),
                                    std::string(kNotReadBack)});
        }
        differences_.insert(differences_.end(), found.begin(), found.end());
    }
    if (phase.kind == Phase::Kind::kReadBack && !phase.verifies)
        version_ = tool_->model.network.version_number;
    // apply: once the unit has been read whole, what it must be sent is known.
    if (input_.command == CliOptions::Command::kApply && !compared_ && phase_ + 1 == phases_.size()) {
        plan_apply();
        if (finishing_ || finished_) return;  // --check found a source the unit cannot be made to hold
    }
    if (++phase_ < phases_.size()) {
        start_phase();
        return;
    }
    // apply has compared the whole unit with the source even when nothing had to go.
    verified_ = std::any_of(phases_.begin(), phases_.end(), [](const Phase& p) { return p.verifies; }) ||
                (compared_ && !input_.check);
    complete();
}

void UnitJob::fail_for_channel() {
    // No answer in time, the connection went, or a send could not go out: the command ends here.
    const ReasonCode code = channel_->failure() == UnitChannel::Failure::kNoAnswer ? ReasonCode::kTimeout
                                                                                     : ReasonCode::kConnectionClosed;
    fail(notices_.last_problem(), code);
}

void UnitJob::on_answered() {
    if (finished_ || finishing_) return;
    if (interrupting_ && input_.command != CliOptions::Command::kSend) {
        // The line in flight has its answer (or has given up on it): nothing more goes out.
        if (!channel_->awaiting_answer()) stop_interrupted();
        return;
    }
    if (channel_->failed()) {
        fail_for_channel();
        return;
    }
    if (input_.command == CliOptions::Command::kSetClock) {
        clock_answered();
        return;
    }
    // "GN": the unit did not take what was sent.
    const bool mode_difference = tool_->link.mode_differences != mode_differences_seen_;
    mode_differences_seen_ = tool_->link.mode_differences;
    if (input_.command == CliOptions::Command::kSend) {
        if (reply_line_) return;
        reply_line_ = channel_->last_line();
        if (mode_difference) {
            fail(std::string(kNotTakenText), ReasonCode::kModeDifference);
        } else if (tool_->link.error_reply != 0) {
            fail(notices_.last_problem(), ReasonCode::kErrorReply);
        } else {
            complete();
        }
        return;
    }
    if (input_.pace_reply && sequence_ && !channel_->awaiting_answer()) kick();
}

void UnitJob::kick() {
    if (!finished_ && !finishing_ && !interrupting_) kick_timer_.start();
}

void UnitJob::tick() {
    if (finished_ || finishing_ || interrupting_ || !sequence_) return;
    if (channel_->failed()) {
        fail_for_channel();  // cancels the sequence at its step
        return;
    }
    const PacedSequence::State state = sequence_->tick();
    switch (state) {
        case PacedSequence::State::kCompleted:
            phase_completed();
            return;
        case PacedSequence::State::kStopped:
        case PacedSequence::State::kCancelled:
            // The sequence stopped itself at a step (an error answer, the link lost, a title refused).
            stopped_at_step_ = std::max(1, steps_sent_now());
            fail(notices_.last_problem(), code_of_stop());
            return;
        default:
            break;
    }
    if (input_.pace_reply && !channel_->awaiting_answer() && tool_->glyphs.glyph_reply_pending == 0) kick();
}

ManifestHead UnitJob::manifest_head() const {
    return {tool_->model.network.version_number,
            QJsonDocument::fromJson(QByteArray::fromStdString(link_.json())).object()};
}

bool UnitJob::write_outputs() {
    std::optional<WriteFailure> failed;
    std::error_code error;
    switch (input_.command) {
        case CliOptions::Command::kReadBack:
            if (!write_file_replacing(path_from_utf8(output_), write_document(tool_->model), error))
                failed = WriteFailure{output_, error};
            break;
        case CliOptions::Command::kGlyphRead:
            if (!write_file_replacing(path_from_utf8(output_), bank_file_text(tool_->glyphs, *input_.glyph_size), error))
                failed = WriteFailure{output_, error};
            break;
        case CliOptions::Command::kBackup:
            failed = write_backup(output_, tool_->model, tool_->glyphs, manifest_head());
            break;
        default:
            break;
    }
    if (!failed) return true;
    notices_.notify_warning(write_failure(failed->path, failed->error));
    return false;
}

void UnitJob::complete() {
    if (finished_ || finishing_) return;
    pace_timer_.stop();
    kick_timer_.stop();
    if (!write_outputs()) {
        fail(notices_.last_problem(), ReasonCode::kFile);
        return;
    }
    std::string problem;
    ReasonCode code = ReasonCode::kNone;
    if (!not_taken_.empty()) {
        // The sequences have told each of them as they ended.
        for (const std::string& text : not_taken_) problem += (problem.empty() ? "" : "; ") + text;
        code = not_taken_code_;
    } else if (hold_refused_ && compared_) {
        // apply: the hold time the source holds could not go, so the unit differs there; that is the
        // source's fault, not the unit's.
        problem = std::string(kAlarmHoldTooShort);
        code = ReasonCode::kDocument;
    } else if (!differences_.empty()) {
        problem = verify_failed_text(differences_.size());
        code = ReasonCode::kDifferences;
        notices_.notify_warning(problem);
    } else if (hold_refused_) {
        // The document's hold time was refused: the unit does not hold the whole document.
        problem = std::string(kAlarmHoldTooShort);
        code = ReasonCode::kDocument;
    }
    finishing_ = true;
    channel_->drain([this, problem, code](bool all_out) {
        if (!all_out) {
            notices_.notify_error(UnitChannel::kNotAllSent);
            failure_ = std::string(UnitChannel::kNotAllSent);
            reason_code_ = ReasonCode::kConnectionClosed;
            finish(false);
            return;
        }
        failure_ = problem;
        reason_code_ = code;
        finish(problem.empty());
    });
}

void UnitJob::fail(std::string why, ReasonCode code) {
    if (finished_) return;
    if (failure_.empty()) {
        failure_ = std::move(why);
        reason_code_ = code;
    }
    pace_timer_.stop();
    kick_timer_.stop();
    clock_timer_.stop();
    if (sequence_ && sequence_->running()) {
        if (stopped_at_step_ == 0) stopped_at_step_ = std::max(1, steps_sent_now());
        sequence_->cancel();
    }
    if (channel_ && !finishing_) {
        finishing_ = true;
        // What has been written still goes out: the unit sees every line up to the failing one.
        channel_->drain([this](bool) { finish(false); });
        return;
    }
    finish(false);
}

void UnitJob::finish(bool ok) {
    if (finished_) return;
    // A send's one line is done when its answer was neither an error nor "GN" (or when nobody answers).
    const bool single_line = phases_.empty() && input_.command != CliOptions::Command::kSetClock;
    steps_at_end_ = single_line ? (ok ? 1 : 0) : steps_as_asked_now();
    finished_ = true;
    succeeded_ = ok;
    elapsed_ms_ = clock_.isValid() ? clock_.elapsed() : 0;
    pace_timer_.stop();
    kick_timer_.stop();
    emit done();
}

ReasonCode UnitJob::code_of_stop() const {
    // The first step that was not answered as asked tells why; a step that could not go out at all (a
    // title the unit cannot show) is the document's.
    if (sequence_) {
        for (int step = 1; step <= sequence_->steps_sent(); ++step) {
            const ReasonCode code = code_of_outcome(sequence_->outcome(step));
            if (code != ReasonCode::kNone) return code;
        }
        if (sequence_->stopped_by_link()) return ReasonCode::kConnectionClosed;
    }
    if (channel_ && channel_->failed())
        return channel_->failure() == UnitChannel::Failure::kNoAnswer ? ReasonCode::kTimeout
                                                                        : ReasonCode::kConnectionClosed;
    return ReasonCode::kDocument;
}

void UnitJob::interrupt() {
    if (finished_ || finishing_ || interrupting_) return;
    interrupting_ = true;
    pace_timer_.stop();
    kick_timer_.stop();
    clock_timer_.stop();
    if (!started_) {
        failure_ = "interrupted before it started";
        reason_code_ = ReasonCode::kInterrupted;
        finish(false);
        return;
    }
    // The line in flight keeps its chance to be answered: on_answered() ends the unit then (a send ends as
    // its answer says). A unit still connecting ends once its link is ready or has failed.
    if (channel_ && channel_->awaiting_answer()) return;
    if (!started_command_) return;
    stop_interrupted();
}

void UnitJob::stop_interrupted() {
    if (finished_ || finishing_) return;
    if (started_command_ && stopped_at_step_ == 0) {
        if (input_.command == CliOptions::Command::kSetClock) {
            stopped_at_step_ = clock_step_ + 1;
        } else {
            stopped_at_step_ = std::max(1, steps_sent_now());
        }
    }
    fail(stopped_at_step_ > 0 ? "interrupted" : "interrupted before the first step", ReasonCode::kInterrupted);
}

void UnitJob::clock_begin() {
    clock_step_ = 0;
    clock_tries_ = 0;
    clock_send();
}

void UnitJob::clock_send() {
    if (finished_ || finishing_) return;
    if (interrupting_) {
        stop_interrupted();
        return;
    }
    const bool local = !input_.clock_at;
    const int lead = static_cast<int>(clock_round_trip_ms_ / 2);
    std::string line;
    if (clock_step_ == 0) {
        // The unit's seconds to 00 first: its own minute cannot turn while year..minute go out, whatever
        // its clock showed.
        line = clock_line(ClockTime{}, kClockLines - 1);
    } else {
        if (clock_step_ == 1) {
            const std::optional<ClockTime> now = local ? local_time_in(0) : input_.clock_at;
            if (!now) {
                fail("this computer's clock is outside 2000..2099, which the unit cannot hold",
                     ReasonCode::kDocument);
                return;
            }
            clock_target_ = *now;
        }
        if (clock_step_ == kClockLines && local) {
            const QTime time = QTime::currentTime();
            // The seconds command goes out at the start of a second, less half an exchange, so that the unit
            // takes it as the second turns: its clock is then within one exchange of this computer's.
            const int wait = ((1000 - time.msec() - lead) % 1000 + 1000) % 1000;
            if (wait > 5 && !clock_waited_for_second_) {
                clock_waited_for_second_ = true;
                clock_timer_.start(wait);
                return;
            }
            clock_waited_for_second_ = false;
            const std::optional<ClockTime> now = local_time_in(lead + 10);
            if (!now || !now->same_minute(clock_target_)) {
                // The minute turned while year..minute went out (a slow unit): again from the year.
                if (++clock_tries_ >= 3 || !now) {
                    fail("the clock could not be set within a minute", ReasonCode::kTimeout);
                    return;
                }
                clock_step_ = 1;
                clock_target_ = *now;
            } else {
                clock_target_.second = now->second;
            }
        }
        line = clock_line(clock_target_, clock_step_ - 1);
    }
    tool_->reply.step = AwaitedStep{true, false, StepAnswer::kNone};
    clock_exchange_.start();
    channel_->send_command(line);
    if (channel_->failed()) return;  // on_answered() has ended the unit
    if (!channel_->awaiting_answer()) {
        // A broadcast: nobody answers; the line is done once written.
        tool_->reply.step = AwaitedStep{};
        ++clock_as_asked_;
        clock_next(input_.pace_ms.value_or(kBroadcastClockPaceMs));
    }
}

void UnitJob::clock_answered() {
    const StepAnswer answer = tool_->reply.step.answer;
    tool_->reply.step = AwaitedStep{};
    const bool mode_difference = tool_->link.mode_differences != mode_differences_seen_;
    mode_differences_seen_ = tool_->link.mode_differences;
    if (answer != StepAnswer::kAsAsked || mode_difference) {
        stopped_at_step_ = clock_step_ + 1;
        if (mode_difference || answer == StepAnswer::kModeDifference) {
            fail(std::string(kNotTakenText), ReasonCode::kModeDifference);
        } else if (answer == StepAnswer::kErrorReply) {
            fail(notices_.last_problem(), ReasonCode::kErrorReply);
        } else {
            const std::string text = "想定外の応答 (" + terminal_text(channel_->last_line()) + ")";
            notices_.notify_warning(text);
            fail(text, ReasonCode::kUnexpectedAnswer);
        }
        return;
    }
    ++clock_as_asked_;
    if (clock_step_ == 0) clock_round_trip_ms_ = clock_exchange_.elapsed();
    clock_next(input_.pace_ms.value_or(0));
}

void UnitJob::clock_next(int pause_ms) {
    if (clock_step_ == kClockLines) {
        clock_result_ = ClockResult{clock_text(clock_target_),
                                    QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString()};
        complete();
        return;
    }
    int wait = pause_ms;
    if (clock_step_ == 0 && !input_.clock_at) {
        // Year to seconds must fall in one minute of this computer's clock: wait out its last seconds when
        // the exchanges would not fit.
        const QTime time = QTime::currentTime();
        const qint64 needed = kClockLines * (clock_round_trip_ms_ + pause_ms) + kClockSlackMs;
        wait += clock_wait_ms(time.second() * 1000 + time.msec(), static_cast<int>(std::min<qint64>(needed, 60'000)));
    }
    ++clock_step_;
    clock_timer_.start(wait);
}

}  // namespace tvx
