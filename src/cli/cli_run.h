#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/reason_code.h"
#include "cli/run_report.h"
#include "cli/unit_job.h"
#include "glyphs/glyph_model.h"
#include "link/comm_log.h"
#include "model/settings_model.h"

namespace tvx {

// One run of tvx230-cli: reads the input files strictly, reaches the units (one on a serial line or as
// TCP client; in the server role every unit that connects, up to --units), runs the command against all
// of them at once, prints the summary and ends with the exit status.
class CliRun : public QObject {
    Q_OBJECT

  public:
    // Replies of "send" go to out; everything else to the console (standard error).
    CliRun(CliOptions options, Console& console, std::ostream& out, QObject* parent = nullptr);
    ~CliRun() override;

    // What the report names as the run's command line (the arguments after the program's name) and the
    // program's version; given before start().
    void set_invocation(std::vector<std::string> command_line, std::string version);

    // Begins the run; finished() follows from the event loop, never from within start().
    void start();

    // A signal asks the run to stop: no unit starts any more, no new line goes out, a line in flight may
    // still be answered within its time-out; then every unit not done fails as interrupted, the report and
    // the log are written, the summary is printed, and the run ends with 128 + signal.
    void interrupt(int signal);

    int exit_code() const { return exit_code_; }
    bool is_finished() const { return finished_; }
    // Server role: the port listened on, once listening (0 before).
    quint16 listening_port() const { return server_ ? server_->serverPort() : 0; }
    const std::vector<std::unique_ptr<UnitJob>>& jobs() const { return jobs_; }

  signals:
    void listening(quint16 port);
    void finished(int exit_code);

  private:
    void begin();
    bool read_inputs();
    bool outputs_writable();
    std::string output_for(int n) const;
    void listen();
    void on_new_connection();
    void units_missing();
    struct UnitTarget {
        UnitLink link;
        UnitJob::ChannelMaker make_channel;
    };
    bool resolve_tcp_units();
    bool several_units_allowed();
    void start_jobs(std::vector<UnitTarget> targets);
    void schedule_jobs();
    void on_job_done();
    void refuse_run(const std::string& why, int code = 1, ReasonCode reason = ReasonCode::kDocument);
    // The run ends before reaching its units; the console has been told why.
    void note_run_problem(const std::string& why, ReasonCode reason);
    bool read_input_digest(const std::string& path);
    bool write_report(int code, std::error_code& error);
    RunFacts facts_for(int code) const;
    void draw_progress();
    void end(int code);
    void print_summary();
    void print_results();
    std::string job_label(std::size_t index) const;

    // restore: the backups as read, by folder (one for all units, or one per unit with {n}).
    struct Backup {
        SettingsModel settings;
        GlyphModel glyphs;
    };

    // Members are destroyed in the reverse of this order. The jobs come last, so they go first: each
    // job's link reports its traffic to the log, and its input points into the document, the banks and
    // the backups, so all of these are declared before the jobs and outlive them. (The units' sockets
    // and the server are children of this object and go after every member.)
    CliOptions options_;
    Console& console_;
    std::ostream& out_;
    std::unique_ptr<CommLog> log_;  // with --log: the traffic of every unit's link
    SettingsModel document_;
    GlyphModel banks_;
    std::map<std::string, std::unique_ptr<Backup>> backups_;
    bool apply_banks_ = false;  // apply: SOURCE is a backup folder, its banks in banks_
    JobInput input_;
    std::vector<CliOptions::TcpTarget> tcp_units_;  // --tcp and --hosts, the files read
    std::string run_problem_;                       // why the run ended before reaching its units
    ReasonCode run_problem_code_ = ReasonCode::kNone;
    std::vector<std::string> command_line_;
    std::string version_;
    std::string started_utc_;      // when the run began, for the report
    std::string document_sha256_;  // the input sent, as read
    std::optional<int> signal_;    // the signal that stopped the run
    QTcpServer* server_ = nullptr;
    std::vector<QPointer<QTcpSocket>> waiting_units_;
    QTimer wait_timer_;
    QTimer progress_timer_;
    QElapsedTimer clock_;
    bool finished_ = false;
    int exit_code_ = 1;
    std::vector<std::unique_ptr<UnitJob>> jobs_;
};

}  // namespace tvx
