#include "cli/cli_run.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHostAddress>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sstream>

#include "cli/cli_notices.h"
#include "cli/destinations.h"
#include "cli/document_diff.h"
#include "cli/glyph_offline.h"
#include "cli/offline_commands.h"
#include "cli/run_report.h"
#include "cli/serial_channel.h"
#include "cli/socket_channel.h"
#include "cli/unit_backup.h"
#include "cli/unit_targets.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

constexpr char kPrefix[] = "tvx230-cli: ";
constexpr int kProgressMs = 100;
constexpr qint64 kWaitingReadBufferBytes = 64 * 1024;
// The log file holds the whole run, not the window's 20 000 lines; still bounded against a flooding unit.
constexpr std::size_t kLogCapacity = 2'000'000;

// "2.345": whatever the locale says of decimals.
std::string decimal_text(double value, int decimals) {
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
}

std::string seconds_text(qint64 ms) {
    return decimal_text(static_cast<double>(ms) / 1000.0, 3) + " s";
}

// "0.4", "60": as the seconds were given.
std::string short_seconds(double seconds) {
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, seconds);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
}

std::string sha256_hex(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string units_text(int n) {
    return std::to_string(n) + (n == 1 ? " unit" : " units");
}

}  // namespace

CliRun::CliRun(CliOptions options, Console& console, std::ostream& out, QObject* parent)
    : QObject(parent), options_(std::move(options)), console_(console), out_(out) {
    wait_timer_.setSingleShot(true);
    connect(&wait_timer_, &QTimer::timeout, this, &CliRun::units_missing);
    progress_timer_.setInterval(kProgressMs);
    connect(&progress_timer_, &QTimer::timeout, this, &CliRun::draw_progress);
}

CliRun::~CliRun() {
    progress_timer_.stop();
    jobs_.clear();
    for (const QPointer<QTcpSocket>& socket : waiting_units_) {
        if (socket) socket->abort();
    }
}

void CliRun::set_invocation(std::vector<std::string> command_line, std::string version) {
    command_line_ = std::move(command_line);
    version_ = std::move(version);
}

void CliRun::start() {
    started_utc_ = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    QTimer::singleShot(0, this, &CliRun::begin);
}

void CliRun::interrupt(int signal) {
    if (finished_ || signal_) return;
    signal_ = signal;
    if (!options_.quiet) {
        console_.message(std::string(kPrefix) + signal_name(signal) +
                         ": stopping; no new line goes out, lines in flight may still be answered");
    }
    if (jobs_.empty()) {
        // Still reading inputs or waiting for units: nothing has gone to any unit.
        if (server_) server_->close();
        note_run_problem("interrupted by " + signal_name(signal), ReasonCode::kInterrupted);
        end(1);
        return;
    }
    for (const auto& job : jobs_) job->interrupt();
}

void CliRun::begin() {
    const CliOptions& o = options_;
    if (const std::optional<int> code = run_offline_command(o, out_, console_)) {
        end(*code);
        return;
    }
    if (signal_) return;
    if (o.link == CliOptions::Link::kTcp && !resolve_tcp_units()) return;
    if (!several_units_allowed()) return;
    // Nothing goes to a unit before every input has been read whole.
    if (!read_inputs() || !outputs_writable()) {
        end(1);
        return;
    }
    input_.command = o.command;
    input_.line = o.line;
    const bool apply = o.command == CliOptions::Command::kApply;
    input_.document = o.command == CliOptions::Command::kSendAll || apply ? &document_ : nullptr;
    input_.banks = o.command == CliOptions::Command::kGlyphRegister || apply_banks_ ? &banks_ : nullptr;
    input_.check = o.check;
    input_.glyph_size =
        o.command == CliOptions::Command::kGlyphRegister ? glyph_size_of_file(o.input) : o.glyph_size;
    input_.verify = o.verify;
    input_.pace_ms = o.pace_ms;
    input_.pace_reply = o.pace_reply;
    input_.reply_timeout_ms = o.reply_timeout_ms();
    input_.rs485 = o.rs485;
    if (!o.at.empty()) input_.clock_at = parse_clock_time(o.at);

    if (!o.log.empty()) log_ = std::make_unique<CommLog>(nullptr, kLogCapacity);
    const TrafficObserver observer = log_ ? log_->observer() : TrafficObserver{};

    if (console_.terminal() && !o.quiet) progress_timer_.start();
    std::vector<UnitTarget> targets;
    if (o.link == CliOptions::Link::kSerial) {
        // The units of one bus take turns on the line, each with a session of its own.
        std::vector<std::optional<int>> addresses;
        for (const int a : o.rs485_addresses) addresses.emplace_back(a);
        if (addresses.empty()) addresses.emplace_back(std::nullopt);
        for (const std::optional<int>& address : addresses) {
            const std::string device = o.device;
            targets.push_back(
                {UnitLink{{}, 0, device, address},
                 [device, observer](ToolState& tool, Notices& notices) -> std::unique_ptr<UnitChannel> {
                     auto channel = std::make_unique<SerialChannel>(tool, notices, device);
                     channel->set_traffic_observer(observer);
                     return channel;
                 }});
        }
        start_jobs(std::move(targets));
    } else if (o.link == CliOptions::Link::kTcp) {
        const int timeout = o.reply_timeout_ms();
        for (const CliOptions::TcpTarget& unit : tcp_units_) {
            const std::string host = unit.host;
            const auto port = static_cast<quint16>(unit.port);
            targets.push_back({UnitLink{host, unit.port, {}, std::nullopt},
                               [host, port, timeout, observer](
                                   ToolState& tool, Notices& notices) -> std::unique_ptr<UnitChannel> {
                                   auto channel = std::make_unique<SocketChannel>(tool, notices, host, port);
                                   channel->set_connect_timeout_ms(timeout);
                                   channel->set_traffic_observer(observer);
                                   return channel;
                               }});
        }
        start_jobs(std::move(targets));
    } else {
        listen();
    }
}

void CliRun::refuse_run(const std::string& why, int code, ReasonCode reason) {
    console_.message(std::string(kPrefix) + why);
    note_run_problem(why, reason);
    end(code);
}

void CliRun::note_run_problem(const std::string& why, ReasonCode reason) {
    if (!run_problem_.empty()) return;
    run_problem_ = why;
    run_problem_code_ = reason;
}

bool CliRun::read_input_digest(const std::string& path) {
    std::string bytes;
    if (!read_input_file(path_from_utf8(path), bytes)) return false;
    document_sha256_ = sha256_hex(bytes);
    return true;
}

bool CliRun::resolve_tcp_units() {
    tcp_units_.clear();
    for (const CliOptions::TcpTarget& target : options_.tcp_targets) {
        if (target.hosts_file.empty()) {
            tcp_units_.push_back(target);
            continue;
        }
        std::string error;
        if (const HostsFileRead read = read_hosts_file(target.hosts_file, tcp_units_, error); !read) {
            // A file that cannot be read at all, or one whose lines are refused.
            refuse_run(error, read.exit_status(),
                       read.status == HostsFileStatus::kUnreadable ? ReasonCode::kFile : ReasonCode::kDocument);
            return false;
        }
    }
    if (tcp_units_.empty()) {
        refuse_run("no units to reach: the hosts file lists none");
        return false;
    }
    if (tcp_units_.size() > static_cast<std::size_t>(kMaxTcpUnits)) {
        refuse_run("at most " + std::to_string(kMaxTcpUnits) + " units as TCP client", 2);
        return false;
    }
    if (const auto twice = duplicate_units(tcp_units_, system_resolver())) {
        refuse_run(*twice, 2);
        return false;
    }
    options_.units = static_cast<int>(tcp_units_.size());
    return true;
}

bool CliRun::several_units_allowed() {
    const CliOptions& o = options_;
    if (o.units <= 1) return true;
    if (!o.output.empty() && o.output.find("{n}") == std::string::npos) {
        refuse_run("with several units the output file must hold {n}", 2);
        return false;
    }
    if (o.command == CliOptions::Command::kBackup && o.dir.find("{n}") == std::string::npos) {
        refuse_run("with several units the backup folder must hold {n}", 2);
        return false;
    }
    return true;
}

bool CliRun::read_inputs() {
    const CliOptions& o = options_;
    std::error_code not_checked;
    const bool apply_folder = o.command == CliOptions::Command::kApply &&
                              std::filesystem::is_directory(path_from_utf8(o.input), not_checked);
    if (o.command == CliOptions::Command::kSendAll || (o.command == CliOptions::Command::kApply && !apply_folder)) {
        std::string bytes;
        if (const InputFileRead read = read_input_file(path_from_utf8(o.input), bytes); !read) {
            const std::string why = input_file_refusal(o.input, read.status);
            console_.message(std::string(kPrefix) + why);
            note_run_problem(why, ReasonCode::kFile);
            return false;
        }
        document_sha256_ = sha256_hex(bytes);
        reset_settings(document_);
        std::ostringstream said;
        Console heard(said, false);
        if (!read_document_text(o.input, bytes, document_, heard)) {
            const std::string why = said.str().substr(0, said.str().find('\n'));
            console_.message(why);
            note_run_problem(why.rfind(kPrefix, 0) == 0 ? why.substr(sizeof kPrefix - 1) : why,
                             ReasonCode::kDocument);
            return false;
        }
        return true;
    }
    // The readers tell the console why they refuse; the report repeats their last word. A file that
    // cannot be read at all is a file problem, one that was read but refused a document problem.
    std::ostringstream said;
    Console heard(said, false);
    const auto pass_on = [&](bool ok, const std::string& file) {
        std::string line;
        std::istringstream lines(said.str());
        std::string last;
        while (std::getline(lines, line)) {
            console_.message(line);
            last = line;
        }
        if (!ok) {
            std::string bytes;
            const bool readable = static_cast<bool>(read_input_file(path_from_utf8(file), bytes));
            note_run_problem(last.empty() ? "input refused" : last,
                             readable ? ReasonCode::kDocument : ReasonCode::kFile);
        }
        return ok;
    };
    if (o.command == CliOptions::Command::kGlyphRegister) {
        reset_glyphs(banks_);
        if (!pass_on(read_bank_strict(o.input, *glyph_size_of_file(o.input), banks_, heard), o.input)) return false;
        read_input_digest(o.input);
    } else if (apply_folder) {
        // A backup folder: its document and its three banks, checked against its manifest.
        reset_settings(document_);
        reset_glyphs(banks_);
        if (!pass_on(read_backup(o.input, document_, banks_, heard), backup_manifest_path(o.input))) return false;
        apply_banks_ = true;
    } else if (o.command == CliOptions::Command::kRestore) {
        // Every unit's backup, before anything goes to any unit.
        for (int n = 1; n <= o.units; ++n) {
            const std::string dir = output_for_unit(o.dir, n);
            if (backups_.count(dir) != 0) continue;
            auto backup = std::make_unique<Backup>();
            if (!pass_on(read_backup(dir, backup->settings, backup->glyphs, heard), backup_manifest_path(dir)))
                return false;
            said.str({});
            backups_.emplace(dir, std::move(backup));
        }
    }
    return true;
}

std::string CliRun::output_for(int n) const {
    const std::string name = output_for_unit(options_.output, n);
    if (options_.command == CliOptions::Command::kReadBack) return with_extension(name, ".dat");
    if (options_.command == CliOptions::Command::kGlyphRead)
        return with_extension(name, options_.glyph_size->extension);
    if (options_.command == CliOptions::Command::kBackup) return output_for_unit(options_.dir, n);
    return {};
}

bool CliRun::outputs_writable() {
    std::vector<Destination> destinations;
    const bool backup = options_.command == CliOptions::Command::kBackup;
    if (backup || !options_.output.empty()) {
        for (int n = 1; n <= options_.units; ++n)
            destinations.push_back(
                {output_for(n), backup ? DestinationKind::kBackupFolder : DestinationKind::kFile});
    }
    if (!options_.report.empty()) destinations.push_back({options_.report, DestinationKind::kFile});
    if (!options_.log.empty()) destinations.push_back({options_.log, DestinationKind::kFile});
    const std::optional<std::string> problem = destinations_problem(destinations);
    if (!problem) return true;
    console_.message(std::string(kPrefix) + *problem);
    note_run_problem(*problem, ReasonCode::kFile);
    // A report that cannot be written is not tried at the end: the problem has been told once.
    if (destination_problem({options_.report, DestinationKind::kFile})) options_.report.clear();
    return false;
}

void CliRun::listen() {
    const CliOptions& o = options_;
    server_ = new QTcpServer(this);
    QHostAddress address = QHostAddress::Any;
    if (o.host == "localhost") {
        address = QHostAddress::LocalHost;
    } else if (!o.host.empty() && o.host != "*" && !address.setAddress(QString::fromStdString(o.host))) {
        refuse_run("Bindできません (" + o.host + ": not an address of this host)", 1,
                   ReasonCode::kConnectionRefused);
        return;
    }
    connect(server_, &QTcpServer::newConnection, this, &CliRun::on_new_connection);
    if (!server_->listen(address, static_cast<quint16>(o.port))) {
        refuse_run("Bindできません (" + std::to_string(o.port) + ": " + server_->errorString().toStdString() +
                       ")",
                   1, ReasonCode::kConnectionRefused);
        return;
    }
    if (!o.quiet || o.port == 0) {
        console_.message(std::string(kPrefix) + "listening on port " + std::to_string(server_->serverPort()) +
                         ", waiting for " + units_text(o.units));
    }
    wait_timer_.start(static_cast<int>(o.wait_seconds * 1000));
    emit listening(server_->serverPort());
}

void CliRun::on_new_connection() {
    while (server_ && server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (!socket) break;
        // The server goes once all have come; the sockets must not go with it.
        socket->setParent(this);
        // A unit that talks while the others are awaited is not read yet; it cannot fill the memory.
        socket->setReadBufferSize(kWaitingReadBufferBytes);
        waiting_units_.erase(std::remove_if(waiting_units_.begin(), waiting_units_.end(),
                                            [](const QPointer<QTcpSocket>& s) {
                                                return !s || s->state() != QAbstractSocket::ConnectedState;
                                            }),
                             waiting_units_.end());
        if (static_cast<int>(waiting_units_.size()) >= options_.units) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        waiting_units_.emplace_back(socket);
        // A unit that leaves before the command begins no longer counts.
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (!jobs_.empty()) return;
            waiting_units_.erase(std::remove(waiting_units_.begin(), waiting_units_.end(), socket),
                                 waiting_units_.end());
            socket->deleteLater();
        });
    }
    if (static_cast<int>(waiting_units_.size()) < options_.units || !jobs_.empty()) return;

    wait_timer_.stop();
    server_->close();
    std::vector<UnitTarget> targets;
    const TrafficObserver observer = log_ ? log_->observer() : TrafficObserver{};
    for (const QPointer<QTcpSocket>& socket : waiting_units_) {
        QTcpSocket* taken = socket.data();
        taken->disconnect(this);
        UnitLink link;
        peer_of(*taken, link.host, link.port);
        targets.push_back(
            {link, [taken, observer](ToolState& tool, Notices& notices) -> std::unique_ptr<UnitChannel> {
                 auto channel = std::make_unique<SocketChannel>(tool, notices, taken);
                 channel->set_traffic_observer(observer);
                 return channel;
             }});
    }
    waiting_units_.clear();
    start_jobs(std::move(targets));
}

void CliRun::units_missing() {
    if (!jobs_.empty() || finished_) return;
    const auto connected = std::count_if(
        waiting_units_.begin(), waiting_units_.end(),
        [](const QPointer<QTcpSocket>& s) { return s && s->state() == QAbstractSocket::ConnectedState; });
    if (server_) server_->close();
    refuse_run("units not connected: " + std::to_string(connected) + " of " + std::to_string(options_.units) +
                   " within " + short_seconds(options_.wait_seconds) + " s",
               1, ReasonCode::kTimeout);
}

void CliRun::start_jobs(std::vector<UnitTarget> targets) {
    clock_.start();
    const bool fleet = targets.size() > 1;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        JobInput input = input_;
        input.rs485 = targets[i].link.rs485;
        if (options_.command == CliOptions::Command::kRestore) {
            const Backup& backup = *backups_.at(output_for_unit(options_.dir, n));
            input.document = &backup.settings;
            input.banks = &backup.glyphs;
        }
        auto job = std::make_unique<UnitJob>(input, output_for(n), std::move(targets[i].link), console_,
                                             std::move(targets[i].make_channel), this);
        // Handled once the job's own calls have returned, so that its session can be let go then.
        connect(job.get(), &UnitJob::done, this, &CliRun::on_job_done, Qt::QueuedConnection);
        jobs_.push_back(std::move(job));
        if (fleet) jobs_.back()->set_notice_prefix(std::string(kPrefix) + job_label(i) + ": ");
    }
    schedule_jobs();
}

void CliRun::schedule_jobs() {
    int running = 0;
    for (const auto& job : jobs_) running += job->started() && !job->finished() ? 1 : 0;
    const int limit = options_.job_limit();
    for (const auto& job : jobs_) {
        if (running >= limit || finished_ || signal_) break;
        if (job->started()) continue;
        job->start();
        ++running;
    }
}

std::string CliRun::job_label(std::size_t index) const {
    const std::string label = jobs_[index]->label();
    if (jobs_.size() == 1) return label;
    return "unit " + std::to_string(index + 1) + " " + label;
}

void CliRun::on_job_done() {
    if (finished_ || jobs_.empty()) return;
    bool all_finished = true;
    for (const auto& job : jobs_) {
        // A finished unit's session goes at once: memory follows the units running, not the fleet, and
        // the next unit on a serial bus gets the line.
        if (job->finished()) {
            job->release();
        } else {
            all_finished = false;
        }
    }
    if (!all_finished) {
        schedule_jobs();
        return;
    }
    const bool all_ok =
        std::all_of(jobs_.begin(), jobs_.end(), [](const auto& job) { return job->succeeded(); });
    end(all_ok && !signal_ ? 0 : 1);
}

void CliRun::draw_progress() {
    if (finished_) return;
    std::vector<std::string> lines;
    if (jobs_.empty()) {
        if (!server_) return;
        const auto connected = std::count_if(waiting_units_.begin(), waiting_units_.end(),
                                             [](const QPointer<QTcpSocket>& s) { return s != nullptr; });
        lines.push_back("waiting for units: " + std::to_string(connected) + " of " +
                        std::to_string(options_.units));
    } else {
        for (std::size_t i = 0; i < jobs_.size(); ++i) {
            const UnitJob& job = *jobs_[i];
            lines.push_back(Console::progress_line(job_label(i), job.percent(), job.outcome()));
        }
    }
    console_.show_progress(lines);
}

void CliRun::end(int code) {
    if (finished_) return;
    if (!jobs_.empty() && console_.terminal() && !options_.quiet) draw_progress();
    progress_timer_.stop();
    wait_timer_.stop();
    console_.end_progress();
    finished_ = true;
    // A run a signal stopped says so in its exit status, whatever its units did before.
    if (signal_) code = 128 + *signal_;
    std::error_code error;
    if (log_ && !write_file_replacing(path_from_utf8(options_.log), log_->text(), error)) {
        console_.message(std::string(kPrefix) + write_failure(options_.log, error) +
                         " (the communication log)");
        if (!signal_) code = 1;
    }
    if (!options_.report.empty() && !write_report(code, error)) {
        console_.message(std::string(kPrefix) + write_failure(options_.report, error) + " (the report)");
        if (!signal_) code = 1;
    }
    exit_code_ = code;
    if (options_.json) {
        out_ << report_text(run_report(facts_for(code), jobs_)).toStdString();
        out_.flush();
    }
    if (!jobs_.empty()) print_summary();
    emit finished(code);
}

RunFacts CliRun::facts_for(int code) const {
    RunFacts facts;
    facts.cli_version = version_;
    facts.started = started_utc_;
    facts.command_line = command_line_;
    facts.command = options_.command;
    facts.verify = options_.verify;
    facts.check = options_.check;
    if (options_.command == CliOptions::Command::kSendAll || options_.command == CliOptions::Command::kGlyphRegister ||
        options_.command == CliOptions::Command::kApply) {
        facts.document_path = options_.input;
        facts.document_sha256 = document_sha256_;
    } else if (options_.command == CliOptions::Command::kRestore) {
        facts.document_path = options_.dir;
    }
    facts.seconds = clock_.isValid() ? static_cast<double>(clock_.elapsed()) / 1000.0 : 0.0;
    facts.reason = run_problem_;
    facts.reason_code = run_problem_code_;
    facts.signal = signal_;
    facts.exit_status = code;
    return facts;
}

void CliRun::print_results() {
    // Every result line starts with its unit's label and a tab, whatever the number of units, so that a
    // script reads one format: the replies of "send", then what verification found, in unit order.
    if (options_.command == CliOptions::Command::kSend) {
        for (const auto& job : jobs_) {
            const auto& reply = job->reply_line();
            if (!reply) continue;
            out_ << terminal_text(job->link().output_label()) << '\t' << terminal_text(*reply) << '\n';
        }
    }
    if (options_.command == CliOptions::Command::kSetClock) {
        for (const auto& job : jobs_) {
            const auto& clock = job->clock_result();
            if (!clock) continue;
            out_ << terminal_text(job->link().output_label()) << '\t' << clock->time_set << '\t'
                 << clock->seconds_answered << '\n';
        }
    }
    if (options_.command == CliOptions::Command::kApply) {
        // One line a unit that succeeded: whether it changed (with --check: would change) and how many
        // settings; with --diff each change after it, as diff lists them: the unit's value before SOURCE's.
        for (const auto& job : jobs_) {
            if (!job->succeeded()) continue;  // a unit that failed is told on standard error and in the report
            const std::string label = terminal_text(job->link().output_label());
            out_ << label << '\t' << (job->changed() ? "changed" : "unchanged") << '\t' << job->changes().size()
                 << '\n';
            if (options_.diff) print_differences(out_, job->changes(), label + "\t");
        }
    }
    for (const auto& job : jobs_)
        print_differences(out_, job->differences(), terminal_text(job->link().output_label()) + "\t");
    out_.flush();
}

void CliRun::print_summary() {
    if (!options_.json) print_results();
    if (options_.quiet) return;
    int succeeded = 0;
    for (std::size_t i = 0; i < jobs_.size(); ++i) {
        const UnitJob& job = *jobs_[i];
        succeeded += job.succeeded() ? 1 : 0;
        console_.message(std::string(kPrefix) + job_label(i) + ": " + job.outcome());
    }
    console_.message(std::string(kPrefix) + command_name(options_.command) + ": " +
                     std::to_string(succeeded) + " of " + units_text(static_cast<int>(jobs_.size())) +
                     " succeeded in " + seconds_text(clock_.elapsed()));
}

bool CliRun::write_report(int code, std::error_code& error) {
    const QByteArray text = report_text(run_report(facts_for(code), jobs_));
    return write_file_replacing(path_from_utf8(options_.report), text.toStdString(), error);
}

}  // namespace tvx
