#include "cli/unit_job.h"

#include <utility>

#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "protocol/full_send_sequence.h"
#include "protocol/glyph_bank_sequences.h"
#include "protocol/read_back_sequence.h"

namespace tvx {
namespace {

// A slot whose read is answered by anything but its data line is asked for again, as the tool does;
// unattended, a unit that never sends the data must not keep the command going for ever.
constexpr int kMaxGlyphAsks = 3;

}  // namespace

UnitJob::UnitJob(const JobInput& input, std::string output, Console& console, ChannelMaker make_channel,
                 QObject* parent)
    : QObject(parent),
      input_(input),
      output_(std::move(output)),
      notices_(console, "tvx230-cli: "),
      make_channel_(std::move(make_channel)) {
    pace_timer_.setTimerType(Qt::PreciseTimer);
    connect(&pace_timer_, &QTimer::timeout, this, &UnitJob::tick);
    kick_timer_.setSingleShot(true);
    kick_timer_.setInterval(0);
    connect(&kick_timer_, &QTimer::timeout, this, &UnitJob::tick);
}

UnitJob::~UnitJob() {
    pace_timer_.stop();
    kick_timer_.stop();
    sequence_.reset();
    if (channel_) channel_->close();
}

std::string UnitJob::label() const {
    return channel_ ? channel_->label() : std::string();
}

int UnitJob::percent() const {
    // A sequence's own progress stops short of 100 (119 of 120 steps); done is done.
    if (finished_ && succeeded_) return 100;
    if (sequence_) return sequence_->percent();
    return 0;
}

std::string UnitJob::outcome() const {
    if (finished_ && !succeeded_) {
        std::string text = "failed";
        if (sequence_ && sequence_->steps_sent() > 0 &&
            sequence_->state() != PacedSequence::State::kCompleted) {
            text += " at step " + std::to_string(sequence_->steps_sent()) + " of " +
                    std::to_string(sequence_->step_count());
        }
        return failure_.empty() ? text : text + ": " + failure_;
    }
    if (finished_) return output_.empty() ? "done" : "done, wrote " + output_;
    if (!started_command_) return "connecting";
    if (sequence_)
        return "step " + std::to_string(sequence_->steps_sent()) + " of " +
               std::to_string(sequence_->step_count());
    return "waiting for the answer";
}

void UnitJob::prepare() {
    if (channel_) return;
    reset_settings(tool_);
    tool_.config.rs_control = input_.rs485 ? 1 : 0;
    if (input_.rs485) tool_.model.run.slave_address = *input_.rs485;
    if (input_.document) {
        tool_.model = *input_.document;
        tool_.model.run = RunState{};
        if (input_.rs485) tool_.model.run.slave_address = *input_.rs485;
    }
    if (input_.banks && input_.glyph_size) {
        glyph_bank(tool_.glyphs, *input_.glyph_size) = glyph_bank(*input_.banks, *input_.glyph_size);
    }
    tool_.link.app_running = 1;

    channel_ = make_channel_(tool_, notices_);
    channel_->set_reply_timeout_ms(input_.reply_timeout_ms);
}

void UnitJob::start() {
    prepare();
    connect(channel_.get(), &UnitChannel::ready, this, &UnitJob::begin);
    connect(channel_.get(), &UnitChannel::open_failed, this, [this] { fail(notices_.last_problem()); });
    connect(channel_.get(), &UnitChannel::answered, this, &UnitJob::on_answered);
    channel_->open();
}

int UnitJob::default_pace_ms() const {
    switch (input_.command) {
        case CliOptions::Command::kReadBack:
            return kReadBackTickMs;
        case CliOptions::Command::kSendAll:
            return kFullSendTickMs;
        case CliOptions::Command::kGlyphRead:
            return bank_read_tick_ms(*input_.glyph_size);
        case CliOptions::Command::kGlyphRegister:
            return kBankRegisterTickMs;
        default:
            return kReadBackTickMs;
    }
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

    switch (input_.command) {
        case CliOptions::Command::kReadBack:
            sequence_ = std::make_unique<ReadBackSequence>(tool_, *channel_, notices_);
            break;
        case CliOptions::Command::kSendAll:
            sequence_ = std::make_unique<FullSendSequence>(tool_, *channel_, notices_);
            break;
        case CliOptions::Command::kGlyphRead:
            sequence_ = std::make_unique<GlyphBankRead>(tool_, *input_.glyph_size, *channel_, notices_);
            break;
        case CliOptions::Command::kGlyphRegister:
            sequence_ = std::make_unique<GlyphBankRegister>(tool_, *input_.glyph_size, *channel_, notices_);
            break;
        default:
            fail("not a command for a unit");
            return;
    }
    if (!sequence_->start()) {
        // The sequence has said why (a broadcast read, say).
        fail(notices_.last_problem());
        return;
    }
    if (input_.pace_reply) {
        kick();
    } else {
        pace_timer_.start(input_.pace_ms.value_or(default_pace_ms()));
        kick();  // the first step at once, the others at the pace
    }
}

void UnitJob::on_answered() {
    if (finished_ || finishing_) return;
    if (channel_->failed()) {
        // No answer in time, the connection went, or a send could not go out: the command ends here.
        fail(notices_.last_problem());
        return;
    }
    if (input_.command == CliOptions::Command::kSend) {
        if (reply_line_) return;
        reply_line_ = channel_->last_line();
        if (channel_->error_seen()) {
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

bool UnitJob::glyph_read_gives_up() {
    if (input_.command != CliOptions::Command::kGlyphRead) return false;
    // This tick asks for current_slot when nothing is outstanding.
    if (channel_->awaiting_answer() || tool_.glyphs.glyph_reply_pending != 0) return false;
    const int slot = tool_.glyphs.current_slot;
    if (slot >= input_.glyph_size->slot_count) return false;
    if (slot != last_asked_slot_) {
        last_asked_slot_ = slot;
        asks_ = 1;
        return false;
    }
    return ++asks_ > kMaxGlyphAsks;
}

void UnitJob::tick() {
    if (finished_ || finishing_ || !sequence_) return;
    if (channel_->failed()) {
        sequence_->cancel();
        fail(notices_.last_problem());
        return;
    }
    // An error answer stops the sequence at this tick even when a later line has cleared error_reply.
    if (channel_->error_seen()) tool_.link.error_reply = 1;
    if (glyph_read_gives_up()) {
        notices_.notify_error("No." + std::to_string(tool_.glyphs.current_slot + 1) +
                              ": the unit answers the read without the glyph");
        fail(notices_.last_problem());
        return;
    }
    const PacedSequence::State state = sequence_->tick();
    switch (state) {
        case PacedSequence::State::kCompleted:
            complete();
            return;
        case PacedSequence::State::kStopped:
        case PacedSequence::State::kCancelled:
            fail(notices_.last_problem());
            return;
        default:
            break;
    }
    if (input_.pace_reply && !channel_->awaiting_answer() && tool_.glyphs.glyph_reply_pending == 0) kick();
}

void UnitJob::complete() {
    if (finished_ || finishing_) return;
    pace_timer_.stop();
    kick_timer_.stop();
    bool ok = true;
    if (input_.command == CliOptions::Command::kReadBack) {
        // The sequence's notice has named the settings not read. A document holding values the unit did
        // not give (the defaults of this run) is not written: it would pass for the unit's settings.
        const auto* read_back = dynamic_cast<const ReadBackSequence*>(sequence_.get());
        if (read_back != nullptr && !read_back->unread_steps().empty()) {
            std::string unread = read_back->unread_description();
            for (std::size_t at = unread.find('\n'); at != std::string::npos; at = unread.find('\n', at))
                unread.replace(at, 1, "; ");
            fail("not read: " + unread);
            return;
        }
        ok = write_file_replacing(output_, write_document(tool_.model));
    } else if (input_.command == CliOptions::Command::kGlyphRead) {
        ok = write_file_replacing(output_, bank_file_text(tool_.glyphs, *input_.glyph_size));
    }
    if (!ok) {
        notices_.notify_warning(std::string(kCantFileOpen) + " (" + output_ + ")");
        fail(std::string(kCantFileOpen));
        return;
    }
    if (input_.command == CliOptions::Command::kSendAll &&
        alarm_hold_seconds(tool_.model.alarm_hold_time) < 3) {
        // The hold time was refused with its notice and the rest went out, as in the tool; the unit does
        // not hold the whole document, which a script must learn from the exit status.
        failure_ = std::string(kAlarmHoldTooShort);
        finishing_ = true;
        channel_->drain([this](bool) { finish(false); });
        return;
    }
    finishing_ = true;
    channel_->drain([this](bool all_out) {
        if (!all_out) {
            notices_.notify_error(UnitChannel::kNotAllSent);
            failure_ = std::string(UnitChannel::kNotAllSent);
        }
        finish(all_out);
    });
}

void UnitJob::fail(std::string why) {
    if (finished_) return;
    if (failure_.empty()) failure_ = std::move(why);
    pace_timer_.stop();
    kick_timer_.stop();
    if (sequence_ && sequence_->running()) sequence_->cancel();
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
    finished_ = true;
    succeeded_ = ok;
    pace_timer_.stop();
    kick_timer_.stop();
    emit done();
}

}  // namespace tvx
