#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <string_view>

#include "config/notices.h"
#include "link/answer_tracker.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// The link of one unit's session, serial or TCP. It sends command lines, hands every received line to the
// reply handling, and keeps the answers due in the answer tracker every link uses: while one is due,
// LinkFlags::tcp_answer_pending is set, so a paced sequence sends nothing. An answer that does not come
// within the reply time-out, or a connection that goes while an answer is due, fails the channel for
// good: it sends nothing more, and late lines cannot undo the failure.
class UnitChannel : public QObject, public CommandLink {
    Q_OBJECT

  public:
    // What a drain that could not finish reports.
    static constexpr std::string_view kNotAllSent = "the link did not take everything written";

    UnitChannel(ToolState& tool, Notices& notices, QObject* parent = nullptr);
    ~UnitChannel() override;

    void set_reply_timeout_ms(int ms) { answers_.set_timeout_ms(ms); }

    // Makes the link usable; ready() or open_failed() follows, possibly before this returns.
    virtual void open() = 0;
    // How the unit is named in messages and the summary: "127.0.0.1:9004", "/dev/ttyS0 address 05".
    virtual std::string label() const = 0;

    void send_command(std::string_view line) final;

    // How the channel failed, for the report: an answer that did not come in time, or a connection that
    // went (or took no more lines) while the unit was being talked to.
    enum class Failure { kNone, kNoAnswer, kConnectionClosed };

    bool awaiting_answer() const { return answers_.due(); }
    bool failed() const { return failed_; }
    Failure failure() const { return failure_; }
    // The last line handled, without its line end (and without the address on RS-485).
    const std::string& last_line() const { return last_line_; }

    // Calls done once everything written has left (true), or when it could not leave within a bound or
    // the connection went first (false).
    virtual void drain(std::function<void(bool all_out)> done) = 0;
    // Closes quietly: no notices and no signals from here on.
    virtual void close() = 0;

  signals:
    void ready();
    void open_failed();
    // A line was handled, or the answer due was given up (failed() then tells).
    void answered();

  protected:
    // Writes one line; false when it cannot go out (the subclass has said why).
    virtual bool write_line(std::string_view line) = 0;
    // Whether the unit answers what is sent now (a broadcast is answered by none).
    virtual bool answer_expected() const { return true; }
    // The reply handling's entry for one whole line, line end included.
    virtual void handle_line(std::string_view line) = 0;
    // The tool's words when an answer does not come.
    virtual std::string_view no_answer_notice() const = 0;

    // Subclasses call this for every whole line received; text is what the reply handling interprets.
    void line_received(std::string_view line, std::string_view shown);
    // A line too long to handle came: it still counts as the answer.
    void unreadable_line_received();
    // The connection has gone: an answer due cannot come.
    void connection_lost();
    // The send could not go out.
    void send_failed();

    ToolState& tool_;
    Notices& notices_;

  private:
    void answer_missing();
    void fail(Failure failure);

    AnswerTracker answers_;
    bool failed_ = false;
    Failure failure_ = Failure::kNone;
    std::string last_line_;
};

}  // namespace tvx
