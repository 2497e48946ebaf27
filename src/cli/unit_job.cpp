#include "cli/unit_job.h"

#include <QDateTime>
#include <algorithm>
#include <utility>

#include "cli/json_text.h"
#include "cli/unit_backup.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "protocol/full_send_sequence.h"
#include "protocol/glyph_bank_sequences.h"
#include "protocol/read_back_sequence.h"
#include "protocol/send_verification.h"

namespace tvx {
namespace {

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
    plan();
}

UnitJob::~UnitJob() {
    pace_timer_.stop();
    kick_timer_.stop();
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
            return kReadBackSteps;
        case Phase::Kind::kFullSend:
            return kFullSendSteps - 1;
        case Phase::Kind::kGlyphRead:
        case Phase::Kind::kGlyphRegister:
            return phase.size->slot_count;
    }
    return 0;
}

int UnitJob::steps_planned() const {
    if (phases_.empty()) return 1;  // send: one line
    int total = 0;
    for (const Phase& phase : phases_) total += planned_steps(phase);
    return total;
}

int UnitJob::steps_done() const {
    if (phases_.empty()) return reply_line_ || (finished_ && succeeded_) ? 1 : 0;
    if (finished_ && succeeded_) return steps_planned();
    if (finished_) return steps_at_end_;
    int current = 0;
    if (sequence_ && phase_ < phases_.size()) {
        current = std::min(sequence_->steps_sent(), planned_steps(phases_[phase_]));
    }
    return steps_before_ + current;
}

double UnitJob::seconds() const {
    if (elapsed_ms_ >= 0) return static_cast<double>(elapsed_ms_) / 1000.0;
    return clock_.isValid() ? static_cast<double>(clock_.elapsed()) / 1000.0 : 0.0;
}

int UnitJob::percent() const {
    // A sequence's own progress stops short of 100 (119 of 120 steps); done is done.
    if (finished_ && succeeded_) return 100;
    if (phases_.size() == 1 && sequence_ && !finished_) return sequence_->percent();
    return steps_done() * 100 / std::max(1, steps_planned());
}

std::string UnitJob::outcome() const {
    const std::string steps = std::to_string(steps_done()) + " of " + std::to_string(steps_planned());
    if (finished_ && !succeeded_) {
        std::string text = "failed";
        // A run that failed at its end (settings not read, differences found) failed at no step; one
        // stopped while a step was under way names it, the last one too.
        if (stopped_at_step_ > 0 && !phases_.empty())
            text += " at step " + std::to_string(stopped_at_step_) + " of " + std::to_string(steps_planned());
        return failure_.empty() ? text : text + ": " + failure_;
    }
    if (finished_) {
        std::string text = output_.empty() ? "done" : "done, wrote " + output_;
        return verified_ ? text + ", verified" : text;
    }
    if (!started_) return "waiting for its turn";
    if (!started_command_) return "connecting";
    if (sequence_) return "step " + steps;
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
    connect(channel_.get(), &UnitChannel::open_failed, this, [this] { fail(notices_.last_problem()); });
    connect(channel_.get(), &UnitChannel::answered, this, &UnitJob::on_answered);
    channel_->open();
}

void UnitJob::release() {
    if (!finished_) return;
    pace_timer_.stop();
    kick_timer_.stop();
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
    started_command_ = true;

    if (input_.command == CliOptions::Command::kSend) {
        channel_->send_command(input_.line + "\r\n");
        if (channel_->failed()) return;                // on_answered has ended the job
        if (!channel_->awaiting_answer()) complete();  // a broadcast: nobody answers
        return;
    }
    if (phases_.empty()) {
        fail("not a command for a unit");
        return;
    }
    phase_ = 0;
    start_phase();
}

void UnitJob::start_phase() {
    ToolState& tool = *tool_;
    const Phase& phase = phases_[phase_];
    sequence_.reset();
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
            sequence_ = std::make_unique<ReadBackSequence>(tool, *channel_, notices_);
            break;
        case Phase::Kind::kFullSend:
            sequence_ = std::make_unique<FullSendSequence>(tool, *channel_, notices_);
            break;
        case Phase::Kind::kGlyphRead:
            if (phase.verifies) {
                for (std::string& slot : glyph_bank(tool.glyphs, *phase.size))
                    std::fill(slot.begin(), slot.end(), '0');
            }
            sequence_ = std::make_unique<GlyphBankRead>(tool, *phase.size, *channel_, notices_);
            break;
        case Phase::Kind::kGlyphRegister:
            sequence_ = std::make_unique<GlyphBankRegister>(tool, *phase.size, *channel_, notices_);
            break;
    }
    if (!sequence_->start()) {
        // The sequence has said why (a broadcast read, say).
        fail(notices_.last_problem());
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
    const Phase& phase = phases_[phase_];
    // Steps the unit answered with "GN", an error or something unexpected: the sequence went on past
    // them, as in the tool, but a send that left something untaken has not done its job.
    const std::string not_taken = sequence_->steps_not_taken_notice();
    if (!not_taken.empty()) not_taken_.push_back(one_line(not_taken));
    steps_before_ += planned_steps(phase);
    if (phase.kind == Phase::Kind::kFullSend && alarm_hold_seconds(tool_->model.alarm_hold_time) < 3) {
        // The hold time was refused with its notice and the rest went out, as in the tool; the unit does
        // not hold the whole document, which a script must learn from the exit status.
        hold_refused_ = true;
    }
    if (phase.kind == Phase::Kind::kReadBack) {
        const auto& read_back = static_cast<const ReadBackSequence&>(*sequence_);
        if (!read_back.unread_steps().empty() && !phase.verifies) {
            // The sequence's notice has named the settings not read. A document holding values the unit
            // did not give (the defaults of this run) is not written: it would pass for the unit's settings.
            fail("not read: " + one_line(read_back.unread_description()));
            return;
        }
        // A setting not read cannot count as the same: verification lists it.
        for (const int step : read_back.unread_steps()) {
            const ReadStep read = read_back_step(step);
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
            fail("not read: " + read.slots_not_read_text());
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
    if (++phase_ < phases_.size()) {
        start_phase();
        return;
    }
    verified_ = std::any_of(phases_.begin(), phases_.end(), [](const Phase& p) { return p.verifies; });
    complete();
}

void UnitJob::on_answered() {
    if (finished_ || finishing_) return;
    if (channel_->failed()) {
        // No answer in time, the connection went, or a send could not go out: the command ends here.
        fail(notices_.last_problem());
        return;
    }
    // "GN": the unit did not take what was sent.
    const bool mode_difference = tool_->link.mode_differences != mode_differences_seen_;
    mode_differences_seen_ = tool_->link.mode_differences;
    if (input_.command == CliOptions::Command::kSend) {
        if (reply_line_) return;
        reply_line_ = channel_->last_line();
        if (mode_difference) {
            fail(std::string(kNotTakenText));
        } else if (tool_->link.error_reply != 0) {
            fail(notices_.last_problem());
        } else {
            complete();
        }
        return;
    }
    if (input_.pace_reply && sequence_ && !channel_->awaiting_answer()) kick();
}

void UnitJob::kick() {
    if (!finished_ && !finishing_) kick_timer_.start();
}

void UnitJob::tick() {
    if (finished_ || finishing_ || !sequence_) return;
    if (channel_->failed()) {
        fail(notices_.last_problem());  // cancels the sequence at its step
        return;
    }
    const PacedSequence::State state = sequence_->tick();
    switch (state) {
        case PacedSequence::State::kCompleted:
            phase_completed();
            return;
        case PacedSequence::State::kStopped:
        case PacedSequence::State::kCancelled:
            // The sequence stopped itself at a step (an error answer, the link lost).
            stopped_at_step_ = std::max(1, steps_done());
            fail(notices_.last_problem());
            return;
        default:
            break;
    }
    if (input_.pace_reply && !channel_->awaiting_answer() && tool_->glyphs.glyph_reply_pending == 0) kick();
}

std::string UnitJob::manifest() const {
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    return "{\n  \"version\": " + json_string(tool_->model.network.version_number) +
           ",\n  \"time\": " + json_string(now.toStdString()) + ",\n  \"link\": " + link_.json() +
           ",\n  \"settings\": \"unit.dat\",\n  \"glyphs\": {\"large\": \"unit.tll\", \"medium\": "
           "\"unit.tlm\", \"small\": \"unit.tls\"}\n}\n";
}

bool UnitJob::write_outputs() {
    std::string failed;
    switch (input_.command) {
        case CliOptions::Command::kReadBack:
            if (!write_file_replacing(path_from_utf8(output_), write_document(tool_->model))) failed = output_;
            break;
        case CliOptions::Command::kGlyphRead:
            if (!write_file_replacing(path_from_utf8(output_), bank_file_text(tool_->glyphs, *input_.glyph_size)))
                failed = output_;
            break;
        case CliOptions::Command::kBackup:
            failed = write_backup(output_, tool_->model, tool_->glyphs, manifest());
            break;
        default:
            break;
    }
    if (failed.empty()) return true;
    notices_.notify_warning(std::string(kCantFileOpen) + " (" + failed + ")");
    return false;
}

void UnitJob::complete() {
    if (finished_ || finishing_) return;
    pace_timer_.stop();
    kick_timer_.stop();
    if (!write_outputs()) {
        fail(std::string(kCantFileOpen));
        return;
    }
    std::string problem;
    if (!not_taken_.empty()) {
        // The sequences have told each of them as they ended.
        for (const std::string& text : not_taken_) problem += (problem.empty() ? "" : "; ") + text;
    } else if (!differences_.empty()) {
        problem = verify_failed_text(differences_.size());
        notices_.notify_warning(problem);
    } else if (hold_refused_) {
        problem = std::string(kAlarmHoldTooShort);
    }
    finishing_ = true;
    channel_->drain([this, problem](bool all_out) {
        if (!all_out) {
            notices_.notify_error(UnitChannel::kNotAllSent);
            failure_ = std::string(UnitChannel::kNotAllSent);
            finish(false);
            return;
        }
        failure_ = problem;
        finish(problem.empty());
    });
}

void UnitJob::fail(std::string why) {
    if (finished_) return;
    if (failure_.empty()) failure_ = std::move(why);
    pace_timer_.stop();
    kick_timer_.stop();
    if (sequence_ && sequence_->running()) {
        if (stopped_at_step_ == 0) stopped_at_step_ = std::max(1, steps_done());
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
    steps_at_end_ = steps_done();
    finished_ = true;
    succeeded_ = ok;
    elapsed_ms_ = clock_.isValid() ? clock_.elapsed() : 0;
    pace_timer_.stop();
    kick_timer_.stop();
    emit done();
}

}  // namespace tvx
