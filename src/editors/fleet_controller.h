#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "glyphs/glyph_model.h"
#include "link/tcp_link.h"
#include "model/tool_state.h"

namespace tvx {

// One command to several units connected to the server at once: the full send (with or without
// "送信後に照合"), the title and schedule send-alls, a glyph bank's registration, the comparison of each
// unit with the settings in memory, or a few single lines. Each unit gets a session of its own (its own
// tool state, link channel and paced sequence) and runs at the pace chosen; one unit failing, or going,
// never stops the others. The operator confirms once for the whole set. The view ticks the sessions from
// its timer and shows rows().
class FleetController : public QObject {
    Q_OBJECT

  public:
    enum class Command { kFullSend, kTitles, kSchedule, kGlyphRegister, kCompare, kLines };

    struct Request {
        Command command = Command::kFullSend;
        std::string caption;                    // the dialog's own caption, "全項目の設定"
        bool verify = false;                    // full send: read back and compare afterwards
        const GlyphSize* glyph_size = nullptr;  // glyph registration
        std::vector<std::string> lines{};       // single lines, each ended by CR LF
        // Comparison: the settings each unit is compared with; the settings in memory when none.
        std::shared_ptr<const SettingsModel> reference{};
    };

    enum class UnitState { kWaiting, kRunning, kOk, kFailed, kCancelled };

    struct UnitRow {
        int index = 0;      // client_table entry
        std::string label;  // "address:port"
        UnitState state = UnitState::kWaiting;
        int percent = 0;
        std::string result;  // "OK", or why it failed in the tool's words
        double seconds = 0;
        int differences = -1;  // comparison and verification: settings that differ; -1 when not compared
    };

    FleetController(const ToolState& tool, TcpLink& link, Notices& notices, std::vector<int> indexes,
                    Request request);
    ~FleetController() override;

    const Request& request() const { return request_; }
    // The operator's notices (the sessions have their own).
    Notices& notices() { return notices_; }
    // Before start: "送信後に照合" for the full send.
    void set_verify(bool on);
    int unit_count() const { return static_cast<int>(indexes_.size()); }

    // The one question for the whole set, naming how many units.
    std::string confirmation() const;
    // Asks it, then opens a session on every chosen unit still connected and starts each one's sequence.
    // False when the operator said No or no unit is left to send to.
    bool start();
    // One tick of the view's timer: each running session's sequence.
    void tick();
    // "中止": every session still running stops where it is.
    void cancel();

    bool started() const { return started_; }
    bool running() const;
    // The view's timer interval at the pace chosen.
    int tick_ms() const;
    std::string pace_text() const;
    // The share of all units' steps done.
    int percent() const;
    // "96 台中 95 台成功、1 台失敗"
    std::string summary() const;
    std::vector<UnitRow> rows() const;
    // The result table as text, a unit a line, tab-separated, for copying and saving.
    std::string result_text() const;
    // From start to the end of the last session; so far while running.
    double seconds() const;

  signals:
    void finished();

  private:
    struct Session;

    std::unique_ptr<Session> open_session(int index);
    void end_session(Session& session);
    void check_finished();
    int standard_tick_ms() const;

    const ToolState& tool_;
    TcpLink& link_;
    Notices& notices_;
    std::vector<int> indexes_;
    Request request_;
    std::vector<std::unique_ptr<Session>> sessions_;
    bool started_ = false;
    bool finished_ = false;
    qint64 started_at_ms_ = 0;
    qint64 elapsed_ms_ = -1;
};

// How a unit's row reads a state.
std::string_view fleet_state_name(FleetController::UnitState state);

}  // namespace tvx
