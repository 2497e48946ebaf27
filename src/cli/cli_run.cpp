#include "cli/cli_run.h"

#include <QHostAddress>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/document_diff.h"
#include "cli/glyph_offline.h"
#include "cli/json_text.h"
#include "cli/serial_channel.h"
#include "cli/socket_channel.h"
#include "cli/unit_backup.h"
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

const char* command_name(CliOptions::Command command) {
    switch (command) {
        case CliOptions::Command::kReadBack:
            return "read-back";
        case CliOptions::Command::kSendAll:
            return "send-all";
        case CliOptions::Command::kSend:
            return "send";
        case CliOptions::Command::kGlyphRead:
            return "glyphs read";
        case CliOptions::Command::kGlyphRegister:
            return "glyphs register";
        case CliOptions::Command::kGlyphConvert:
            return "glyphs convert";
        case CliOptions::Command::kGlyphBmp:
            return "glyphs bmp";
        case CliOptions::Command::kDiff:
            return "diff";
        case CliOptions::Command::kBackup:
            return "backup";
        case CliOptions::Command::kRestore:
            return "restore";
    }
    return "";
}

std::string seconds_text(qint64 ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ms) / 1000.0);
    return text;
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

void CliRun::start() {
    QTimer::singleShot(0, this, &CliRun::begin);
}

void CliRun::begin() {
    const CliOptions& o = options_;
    if (o.command == CliOptions::Command::kGlyphConvert) {
        const int code = convert_glyph_banks(o.input, o.number, o.into, console_);
        if (code == 0 && !o.quiet) console_.message(std::string(kPrefix) + "glyphs convert: done");
        end(code);
        return;
    }
    if (o.command == CliOptions::Command::kGlyphBmp) {
        const int code = export_glyph_bitmap(o.input, *o.number, o.output, o.background, console_);
        if (code == 0 && !o.quiet)
            console_.message(std::string(kPrefix) + "glyphs bmp: wrote " + with_extension(o.output, ".bmp"));
        end(code);
        return;
    }
    if (o.command == CliOptions::Command::kDiff) {
        end(diff_documents(o.input, o.compared, out_, console_));
        return;
    }
    if (o.link == CliOptions::Link::kTcp && !resolve_tcp_units()) return;
    if (!several_units_allowed()) return;
    // Nothing goes to a unit before every input has been read whole.
    if (!read_inputs() || !outputs_writable()) {
        end(1);
        return;
    }
    input_.command = o.command;
    input_.line = o.line;
    input_.document = o.command == CliOptions::Command::kSendAll ? &document_ : nullptr;
    input_.banks = o.command == CliOptions::Command::kGlyphRegister ? &banks_ : nullptr;
    input_.glyph_size =
        o.command == CliOptions::Command::kGlyphRegister ? glyph_size_of_file(o.input) : o.glyph_size;
    input_.verify = o.verify;
    input_.pace_ms = o.pace_ms;
    input_.pace_reply = o.pace_reply;
    input_.reply_timeout_ms = o.reply_timeout_ms();
    input_.rs485 = o.rs485;

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

void CliRun::refuse_run(const std::string& why, int code) {
    console_.message(std::string(kPrefix) + why);
    run_problem_ = why;
    end(code);
}

bool CliRun::resolve_tcp_units() {
    tcp_units_.clear();
    for (const CliOptions::TcpTarget& target : options_.tcp_targets) {
        if (target.hosts_file.empty()) {
            tcp_units_.push_back(target);
            continue;
        }
        std::string error;
        if (!read_hosts_file(target.hosts_file, tcp_units_, error)) {
            refuse_run(error);
            return false;
        }
    }
    if (tcp_units_.empty()) {
        refuse_run("no units to reach: the hosts file lists none");
        return false;
    }
    if (tcp_units_.size() > static_cast<std::size_t>(kMaxTcpUnits)) {
        refuse_run("at most " + std::to_string(kMaxTcpUnits) + " units as TCP client");
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
    if (o.command == CliOptions::Command::kSendAll) {
        std::string bytes;
        if (!read_input_file(path_from_utf8(o.input), bytes)) {
            console_.message(std::string(kPrefix) + std::string(kCantFileOpen) + " (" + o.input + ")");
            return false;
        }
        reset_settings(document_);
        if (auto problem = read_document_strict(document_, bytes)) {
            console_.message(std::string(kPrefix) + o.input + ": not a whole settings document: line " +
                             std::to_string(problem->line) + ": " + problem->what);
            return false;
        }
    } else if (o.command == CliOptions::Command::kGlyphRegister) {
        reset_glyphs(banks_);
        if (!read_bank_strict(o.input, *glyph_size_of_file(o.input), banks_, console_)) return false;
    } else if (o.command == CliOptions::Command::kRestore) {
        // Every unit's backup, before anything goes to any unit.
        for (int n = 1; n <= o.units; ++n) {
            const std::string dir = output_for_unit(o.dir, n);
            if (backups_.count(dir) != 0) continue;
            auto backup = std::make_unique<Backup>();
            if (!read_backup(dir, backup->settings, backup->glyphs, console_)) return false;
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
    if (options_.command == CliOptions::Command::kBackup) {
        for (int n = 1; n <= options_.units; ++n) {
            const std::string dir = output_for(n);
            if (!backup_folder_usable(dir)) {
                console_.message(std::string(kPrefix) + std::string(kCantFileOpen) + " (" + dir + ")");
                return false;
            }
        }
        return true;
    }
    if (options_.output.empty()) return true;
    // A result is written once its unit is done; a folder that is not there is worth hearing of first.
    for (int n = 1; n <= options_.units; ++n) {
        const std::filesystem::path path = path_from_utf8(output_for(n));
        std::error_code ec;
        const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
        if (!std::filesystem::is_directory(folder, ec) || std::filesystem::is_directory(path, ec)) {
            console_.message(std::string(kPrefix) + std::string(kCantFileOpen) + " (" + path_to_utf8(path) + ")");
            return false;
        }
    }
    return true;
}

void CliRun::listen() {
    const CliOptions& o = options_;
    server_ = new QTcpServer(this);
    QHostAddress address = QHostAddress::Any;
    if (o.host == "localhost") {
        address = QHostAddress::LocalHost;
    } else if (!o.host.empty() && o.host != "*" && !address.setAddress(QString::fromStdString(o.host))) {
        refuse_run("Bindできません (" + o.host + ": not an address of this host)");
        return;
    }
    connect(server_, &QTcpServer::newConnection, this, &CliRun::on_new_connection);
    if (!server_->listen(address, static_cast<quint16>(o.port))) {
        refuse_run("Bindできません (" + std::to_string(o.port) + ": " + server_->errorString().toStdString() +
                   ")");
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
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", options_.wait_seconds);
    if (server_) server_->close();
    refuse_run("units not connected: " + std::to_string(connected) + " of " + std::to_string(options_.units) +
               " within " + seconds + " s");
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
        if (running >= limit || finished_) break;
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
    end(all_ok ? 0 : 1);
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
    if (log_ && !log_->save(options_.log)) {
        console_.message(std::string(kPrefix) + std::string(kCantFileOpen) + " (" + options_.log +
                         ": the communication log was not written)");
        code = 1;
    }
    if (!options_.report.empty() && !write_report(code)) {
        console_.message(std::string(kPrefix) + std::string(kCantFileOpen) + " (" + options_.report +
                         ": the report was not written)");
        code = 1;
    }
    exit_code_ = code;
    if (!jobs_.empty()) print_summary();
    emit finished(code);
}

void CliRun::print_summary() {
    // The replies of "send" in unit order: the line alone for one unit, "N<TAB>line" for several.
    if (options_.command == CliOptions::Command::kSend) {
        for (std::size_t i = 0; i < jobs_.size(); ++i) {
            const auto& reply = jobs_[i]->reply_line();
            if (!reply) continue;
            if (jobs_.size() > 1) out_ << (i + 1) << '\t';
            out_ << terminal_text(*reply) << '\n';
        }
        out_.flush();
    }
    // What verification found, unit by unit, as diff prints it ("N<TAB>" in front with several units).
    for (std::size_t i = 0; i < jobs_.size(); ++i) {
        const auto& differences = jobs_[i]->differences();
        print_differences(out_, differences, jobs_.size() > 1 ? std::to_string(i + 1) + "\t" : std::string());
    }
    out_.flush();
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

bool CliRun::write_report(int code) {
    std::string text = "{\n  \"command\": " + json_string(command_name(options_.command)) + ",\n";
    int ok = 0;
    text += "  \"units\": [";
    for (std::size_t i = 0; i < jobs_.size(); ++i) {
        const UnitJob& job = *jobs_[i];
        ok += job.succeeded() ? 1 : 0;
        std::string reason = job.failure();
        if (!job.succeeded() && reason.empty()) reason = job.started() ? "failed" : "not started";
        text += i == 0 ? "\n" : ",\n";
        text += "    {\"number\": " + std::to_string(i + 1) + ", \"link\": " + job.link().json() +
                ", \"command\": " + json_string(command_name(options_.command)) +
                ", \"result\": " + (job.succeeded() ? "\"ok\"" : "\"failed\"") +
                ", \"reason\": " + json_string(reason) +
                ", \"steps_done\": " + std::to_string(job.steps_done()) +
                ", \"steps_planned\": " + std::to_string(job.steps_planned()) +
                ", \"seconds\": " + json_seconds(job.seconds());
        if (options_.verify) {
            text += ", \"verified\": ";
            text += job.verified() ? "true" : "false";
            text += ", \"differences\": [";
            const auto& differences = job.differences();
            for (std::size_t d = 0; d < differences.size(); ++d) {
                const SettingDifference& difference = differences[d];
                const auto value = [&](const std::string& v) {
                    return json_string(difference.values_are_shift_jis ? shift_jis_as_utf8(v) : v);
                };
                text += (d == 0 ? "\n      " : ",\n      ");
                text += "{\"where\": " + json_string(difference.where) +
                        ", \"setting\": " + json_string(difference.setting) +
                        ", \"sent\": " + value(difference.value_a) +
                        ", \"unit\": " + value(difference.value_b) + "}";
            }
            text += differences.empty() ? "]" : "\n    ]";
        }
        text += "}";
    }
    text += jobs_.empty() ? "],\n" : "\n  ],\n";
    const int count = static_cast<int>(jobs_.size());
    text += "  \"totals\": {\"units\": " + std::to_string(count) + ", \"ok\": " + std::to_string(ok) +
            ", \"failed\": " + std::to_string(count - ok) +
            ", \"seconds\": " + json_seconds(clock_.isValid() ? clock_.elapsed() / 1000.0 : 0.0) + "},\n";
    text += "  \"result\": " + std::string(code == 0 ? "\"ok\"" : "\"failed\"");
    if (!run_problem_.empty()) text += ",\n  \"reason\": " + json_string(run_problem_);
    text += ",\n  \"exit_status\": " + std::to_string(code) + "\n}\n";
    return write_file_replacing(path_from_utf8(options_.report), text);
}

}  // namespace tvx
