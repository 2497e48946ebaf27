#include "editors/fleet_controller.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>

#include "link/client_channel.h"
#include "model/settings_compare.h"
#include "protocol/full_send_sequence.h"
#include "protocol/full_send_verification.h"
#include "protocol/glyph_bank_sequences.h"
#include "protocol/paced_sequence.h"
#include "protocol/read_back_sequence.h"
#include "protocol/schedule_sequence.h"
#include "protocol/title_send_sequence.h"

namespace tvx {
namespace {

constexpr std::string_view kOk = "OK";
constexpr std::string_view kCancelledText = "中止しました";

// The notices of one unit's session: nobody is asked anything (the operator confirmed once for the whole
// set) and nothing is shown; the last problem is kept as the unit's result, in the tool's words.
class SessionNotices : public Notices {
  public:
    void notify_success(std::string_view) override {}
    void notify_error(std::string_view text) override { last_ = text; }
    void notify_warning(std::string_view text) override { last_ = text; }
    void show_box(std::string_view text, std::string_view, BoxIcon) override { last_ = text; }
    bool ask_yes_no(std::string_view) override { return true; }
    bool confirm_not_auto_switching() override { return true; }
    bool confirm_make_other_sizes() override { return true; }

    const std::string& last_problem() const { return last_; }

  private:
    std::string last_;
};

// A few single lines, as an editor's button sends them, one a step.
class LineSequence : public PacedSequence {
  public:
    LineSequence(ToolState& tool, CommandLink& link, Notices& notices, const std::vector<std::string>& lines)
        : PacedSequence(tool, link, notices), lines_(lines) {}
    ~LineSequence() override { cancel(); }
    int step_count() const override { return static_cast<int>(lines_.size()); }

  protected:
    bool can_start() override { return !lines_.empty(); }
    bool send_step(int step) override {
        step_link().send_command(lines_[static_cast<std::size_t>(step - 1)]);
        return true;
    }

  private:
    const std::vector<std::string>& lines_;
};

// A notice of several lines as one cell of the table.
std::string one_line(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
        text.replace(at, 1, " / ");
    return text;
}

std::string seconds_text(double seconds) {
    const long tenths = static_cast<long>(seconds * 10 + 0.5);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " 秒";
}

}  // namespace

std::string_view fleet_state_name(FleetController::UnitState state) {
    switch (state) {
        case FleetController::UnitState::kWaiting:
            return "待機";
        case FleetController::UnitState::kRunning:
            return "送信中";
        case FleetController::UnitState::kOk:
            return "成功";
        case FleetController::UnitState::kFailed:
            return "失敗";
        case FleetController::UnitState::kCancelled:
            return "中止";
    }
    return "";
}

struct FleetController::Session {
    UnitRow row;
    std::uint64_t connection = 0;
    // Declared in the order they are needed, so they go in the reverse: the sequence before its channel,
    // the channel before the state and notices it writes.
    SessionNotices notices;
    ToolState tool;
    std::unique_ptr<ClientChannel> channel;
    std::unique_ptr<PacedSequence> sequence;
    QElapsedTimer clock;
};

FleetController::FleetController(const ToolState& tool, TcpLink& link, Notices& notices, std::vector<int> indexes,
                                 Request request)
    : tool_(tool), link_(link), notices_(notices), indexes_(std::move(indexes)), request_(std::move(request)) {
    std::sort(indexes_.begin(), indexes_.end());
    indexes_.erase(std::unique(indexes_.begin(), indexes_.end()), indexes_.end());
}

FleetController::~FleetController() {
    for (auto& session : sessions_) {
        session->sequence.reset();
        if (session->channel) session->channel->close();
    }
}

void FleetController::set_verify(bool on) {
    if (!started_) request_.verify = on;
}

std::string FleetController::confirmation() const {
    // The sequences ask whether the unit switches pages by itself; an editor's single lines never did.
    std::string text = request_.command == Command::kLines ? "" : "本機が自動切換えでない事を確認してください\n";
    text += "選択した " + std::to_string(unit_count()) + " 台に「" + request_.caption + "」を";
    text += request_.command == Command::kCompare ? "行います。" : "送信します。";
    if (request_.command == Command::kFullSend && request_.verify) text += "（送信後に照合）";
    return text + "\nよろしいですか？";
}

int FleetController::standard_tick_ms() const {
    switch (request_.command) {
        case Command::kFullSend:
            return kFullSendTickMs;
        case Command::kTitles:
            return kTitleSendTickMs;
        case Command::kSchedule:
            return kScheduleSendTickMs;
        case Command::kGlyphRegister:
            return kBankRegisterTickMs;
        case Command::kCompare:
            return kReadBackTickMs;
        case Command::kLines:
            return kFastTickMs;  // an editor's button sends its lines one after another
    }
    return kFullSendTickMs;
}

int FleetController::tick_ms() const {
    return pace_tick_ms(tool_, standard_tick_ms());
}

std::string FleetController::pace_text() const {
    return "ペース: " + std::string(pace_name(tool_));
}

std::unique_ptr<FleetController::Session> FleetController::open_session(int index) {
    auto session = std::make_unique<Session>();
    session->row.index = index;
    session->row.label = ClientChannel::label_of(link_.client_table()[static_cast<std::size_t>(index)]);
    session->connection = link_.connection_of(index);

    ToolState& tool = session->tool;
    reset_settings(tool);
    tool.config = tool_.config;
    tool.config.link_interface = 1;
    tool.config.client_server = 1;
    tool.config.select_number = index;
    tool.model = tool_.model;
    tool.model.run = RunState{};
    if (request_.command == Command::kGlyphRegister) tool.glyphs = tool_.glyphs;
    tool.link.app_running = 1;

    session->channel = std::make_unique<ClientChannel>(tool, session->notices, link_, index);
    Session* raw = session.get();
    // A unit that goes between two ticks ends at the next tick; one that fails at once ends here.
    session->channel->open();
    if (!session->channel->tcp_is_connected()) {
        raw->row.state = UnitState::kFailed;
        raw->row.result = raw->notices.last_problem();
        return session;
    }
    switch (request_.command) {
        case Command::kFullSend:
            if (request_.verify) {
                session->sequence = std::make_unique<FullSendAndReadBack>(tool, *session->channel, session->notices);
            } else {
                session->sequence = std::make_unique<FullSendSequence>(tool, *session->channel, session->notices);
            }
            break;
        case Command::kTitles:
            session->sequence = std::make_unique<TitleSendSequence>(tool, *session->channel, session->notices);
            break;
        case Command::kSchedule:
            session->sequence = std::make_unique<ScheduleSequence>(tool, *session->channel, session->notices);
            break;
        case Command::kGlyphRegister:
            session->sequence = std::make_unique<GlyphBankRegister>(tool, *request_.glyph_size, *session->channel,
                                                                    session->notices);
            break;
        case Command::kCompare:
            session->sequence = std::make_unique<ReadBackSequence>(tool, *session->channel, session->notices);
            break;
        case Command::kLines:
            session->sequence =
                std::make_unique<LineSequence>(tool, *session->channel, session->notices, request_.lines);
            break;
    }
    session->clock.start();
    if (!session->sequence->start()) {
        raw->row.state = UnitState::kFailed;
        raw->row.result = raw->notices.last_problem();
        end_session(*raw);
        return session;
    }
    raw->row.state = UnitState::kRunning;
    return session;
}

bool FleetController::start() {
    if (started_) return false;
    if (request_.command == Command::kGlyphRegister && !request_.glyph_size) return false;
    std::vector<int> present;
    for (const int index : indexes_) {
        if (link_.connection_of(index) != 0) present.push_back(index);
    }
    if (present.empty()) {
        notices_.notify_warning("Socket が接続されていません");
        return false;
    }
    indexes_ = present;
    if (!notices_.ask_yes_no(confirmation())) return false;
    started_ = true;
    started_at_ms_ = QDateTime::currentMSecsSinceEpoch();
    for (const int index : indexes_) sessions_.push_back(open_session(index));
    // Every session sends its first step at once; the others follow at the pace.
    tick();
    check_finished();
    return true;
}

void FleetController::end_session(Session& session) {
    session.row.seconds = session.clock.isValid() ? static_cast<double>(session.clock.elapsed()) / 1000.0 : 0.0;
    // A run that went to its end is all done, whatever the verdict on it.
    if (session.sequence)
        session.row.percent = session.sequence->state() == PacedSequence::State::kCompleted
                                  ? 100
                                  : std::min(100, session.sequence->percent());
    // The channel stays attached until the controller goes: a late answer is the session's to drop, not the
    // link's to take for an answer to something else.
    std::string shown = std::string(session.row.result);
    if (session.row.state != UnitState::kOk) shown = std::string(fleet_state_name(session.row.state)) + ": " + shown;
    link_.set_last_result(session.connection, shown);
}

void FleetController::tick() {
    for (auto& owned : sessions_) {
        Session& session = *owned;
        if (session.row.state != UnitState::kRunning) continue;
        PacedSequence& sequence = *session.sequence;
        const PacedSequence::State state = sequence.tick();
        session.row.percent = std::min(100, sequence.percent());
        if (state == PacedSequence::State::kRunning) continue;
        if (state == PacedSequence::State::kCompleted) {
            const std::string not_taken = sequence.steps_not_taken_notice();
            session.row.state = UnitState::kOk;
            session.row.result = std::string(kOk);
            if (!not_taken.empty()) {
                session.row.state = UnitState::kFailed;
                session.row.result = one_line(not_taken);
            }
            if (auto* verify = dynamic_cast<FullSendAndReadBack*>(&sequence); verify && session.row.state == UnitState::kOk) {
                session.row.differences = static_cast<int>(verify->differences().size());
                if (session.row.differences > 0) {
                    session.row.state = UnitState::kFailed;
                    session.row.result = "照合の結果、送信した内容と本機の内容に " +
                                         std::to_string(session.row.differences) + " 件の差分があります";
                }
            }
            if (auto* read = dynamic_cast<ReadBackSequence*>(&sequence)) {
                session.row.differences = static_cast<int>(compare_settings(
                    request_.reference ? *request_.reference : tool_.model, session.tool.model).size());
                session.row.state = UnitState::kOk;
                session.row.result = "差分 " + std::to_string(session.row.differences) + " 件";
                if (!read->unread_steps().empty()) {
                    // A setting the unit did not give cannot count as the same.
                    session.row.state = UnitState::kFailed;
                    session.row.result += "、" + one_line(read->unread_description());
                }
            }
        } else {
            session.row.state = UnitState::kFailed;
            session.row.result = session.notices.last_problem();
            if (session.row.result.empty())
                session.row.result = "ステップ " + std::to_string(std::max(1, sequence.steps_sent())) + " で中断しました。";
            session.row.result = one_line(session.row.result);
        }
        end_session(session);
    }
    check_finished();
}

void FleetController::cancel() {
    for (auto& owned : sessions_) {
        Session& session = *owned;
        if (session.row.state != UnitState::kRunning) continue;
        session.sequence->cancel();
        session.row.state = UnitState::kCancelled;
        session.row.result = "ステップ " + std::to_string(std::max(1, session.sequence->steps_sent())) + " で" +
                             std::string(kCancelledText);
        end_session(session);
    }
    check_finished();
}

void FleetController::check_finished() {
    if (!started_ || finished_ || running()) return;
    finished_ = true;
    elapsed_ms_ = QDateTime::currentMSecsSinceEpoch() - started_at_ms_;
    emit finished();
}

bool FleetController::running() const {
    return std::any_of(sessions_.begin(), sessions_.end(),
                       [](const auto& s) { return s->row.state == UnitState::kRunning; });
}

int FleetController::percent() const {
    if (sessions_.empty()) return 0;
    long total = 0;
    for (const auto& session : sessions_) {
        // A unit that failed or was stopped counts as far as it got.
        total += session->row.percent;
    }
    return static_cast<int>(total / static_cast<long>(sessions_.size()));
}

std::string FleetController::summary() const {
    int ok = 0;
    int failed = 0;
    int cancelled = 0;
    for (const auto& session : sessions_) {
        ok += session->row.state == UnitState::kOk;
        failed += session->row.state == UnitState::kFailed;
        cancelled += session->row.state == UnitState::kCancelled;
    }
    std::string text = std::to_string(sessions_.size()) + " 台中 " + std::to_string(ok) + " 台成功、" +
                       std::to_string(failed) + " 台失敗";
    if (cancelled > 0) text += "、" + std::to_string(cancelled) + " 台中止";
    return text;
}

std::vector<FleetController::UnitRow> FleetController::rows() const {
    std::vector<UnitRow> rows;
    if (!started_) {
        // Before the start: the units chosen, as they stand now.
        for (const int index : indexes_) {
            UnitRow row;
            row.index = index;
            if (link_.connection_of(index) != 0)
                row.label = ClientChannel::label_of(link_.client_table()[static_cast<std::size_t>(index)]);
            rows.push_back(row);
        }
        return rows;
    }
    rows.reserve(sessions_.size());
    for (const auto& session : sessions_) {
        UnitRow row = session->row;
        if (row.state == UnitState::kRunning && session->clock.isValid())
            row.seconds = static_cast<double>(session->clock.elapsed()) / 1000.0;
        rows.push_back(row);
    }
    return rows;
}

std::string FleetController::result_text() const {
    std::string text = request_.caption + "\t" + summary() + "\n";
    text += "No.\tアドレス:ポート\t結果\t時間\n";
    for (const UnitRow& row : rows()) {
        text += std::to_string(row.index) + "\t" + row.label + "\t" + std::string(fleet_state_name(row.state));
        if (!row.result.empty() && row.result != kOk) text += ": " + row.result;
        text += "\t" + seconds_text(row.seconds) + "\n";
    }
    return text;
}

double FleetController::seconds() const {
    if (elapsed_ms_ >= 0) return static_cast<double>(elapsed_ms_) / 1000.0;
    if (!started_) return 0;
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch() - started_at_ms_) / 1000.0;
}

}  // namespace tvx
