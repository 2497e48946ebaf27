#include "cli/run_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <cmath>
#include <csignal>

#include "cli/json_text.h"

namespace tvx {
namespace {

// The format of the report; raised when a field changes its meaning or goes.
constexpr int kReportFormat = 1;

QString text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Seconds to the millisecond: a JSON number however the computer writes its decimals.
double milliseconds_rounded(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return 0;
    return std::round(seconds * 1000.0) / 1000.0;
}

QJsonObject link_object(const UnitLink& link) {
    QJsonObject out;
    if (!link.device.empty()) {
        out["device"] = text(link.device);
        if (link.rs485) {
            if (*link.rs485 >= 0 && *link.rs485 < kBroadcastAddress) {
                out["rs485_address"] = *link.rs485;
            } else {
                out["rs485_address"] = "broadcast";
            }
        }
        return out;
    }
    out["host"] = text(link.host);
    out["port"] = link.port;
    return out;
}

QJsonValue optional_code(ReasonCode code) {
    if (code == ReasonCode::kNone) return QJsonValue::Null;
    return QString::fromLatin1(reason_code_name(code).data(), static_cast<qsizetype>(reason_code_name(code).size()));
}

QJsonObject unit_object(const UnitJob& job, int number, const RunFacts& facts) {
    QJsonObject unit;
    unit["number"] = number;
    unit["label"] = text(job.link().output_label());
    unit["link"] = link_object(job.link());
    unit["command"] = command_name(facts.command);
    unit["result"] = job.succeeded() ? "ok" : "failed";
    std::string reason = job.failure();
    ReasonCode code = job.reason_code();
    if (!job.succeeded() && reason.empty()) reason = job.started() ? "failed" : "not started";
    if (!job.succeeded() && code == ReasonCode::kNone) code = ReasonCode::kInterrupted;
    unit["reason"] = text(job.succeeded() ? std::string() : reason);
    unit["reason_code"] = job.succeeded() ? QJsonValue::Null : optional_code(code);
    unit["steps_done"] = job.steps_done();
    unit["steps_planned"] = job.steps_planned();
    unit["stopped_at_step"] = job.stopped_at_step() > 0 ? QJsonValue(job.stopped_at_step()) : QJsonValue::Null;
    unit["seconds"] = milliseconds_rounded(job.seconds());
    if (facts.command == CliOptions::Command::kSend) {
        const auto& reply = job.reply_line();
        unit["reply"] = reply ? QJsonValue(text(*reply)) : QJsonValue::Null;
    }
    if (facts.command == CliOptions::Command::kSetClock) {
        const auto& clock = job.clock_result();
        unit["time_set"] = clock ? QJsonValue(text(clock->time_set)) : QJsonValue::Null;
        unit["seconds_answered"] = clock ? QJsonValue(text(clock->seconds_answered)) : QJsonValue::Null;
    }
    // Titles and the hold time are Shift JIS bytes as stored; the report is UTF-8.
    const auto value = [](const SettingDifference& d, const std::string& v) {
        return text(d.values_are_shift_jis ? shift_jis_as_utf8(v) : v);
    };
    const bool apply = facts.command == CliOptions::Command::kApply;
    if (apply || facts.command == CliOptions::Command::kReadBack || facts.command == CliOptions::Command::kBackup)
        unit["version"] = job.version() ? QJsonValue(text(*job.version())) : QJsonValue::Null;
    if (apply) {
        unit["changed"] = job.changed();
        QJsonArray changes;
        for (const SettingDifference& d : job.changes()) {
            QJsonObject change;
            change["where"] = text(d.where);
            change["setting"] = text(d.setting);
            change["before"] = value(d, d.value_a);
            change["after"] = value(d, d.value_b);
            changes.append(change);
        }
        unit["changes"] = changes;
    }
    if (facts.verify || apply) {
        unit["verified"] = job.verified();
        QJsonArray differences;
        for (const SettingDifference& d : job.differences()) {
            QJsonObject difference;
            difference["where"] = text(d.where);
            difference["setting"] = text(d.setting);
            difference["sent"] = value(d, d.value_a);
            difference["unit"] = value(d, d.value_b);
            differences.append(difference);
        }
        unit["differences"] = differences;
    }
    return unit;
}

}  // namespace

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
        case CliOptions::Command::kSetClock:
            return "set-clock";
        case CliOptions::Command::kApply:
            return "apply";
        case CliOptions::Command::kShow:
            return "show";
        case CliOptions::Command::kRender:
            return "render";
    }
    return "";
}

std::string signal_name(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
#ifdef SIGHUP
        case SIGHUP:
            return "SIGHUP";
#endif
        default:
            return "signal " + std::to_string(signal);
    }
}

QJsonObject run_report(const RunFacts& facts, const std::vector<std::unique_ptr<UnitJob>>& jobs) {
    QJsonObject report;
    report["format"] = kReportFormat;
    report["cli_version"] = text(facts.cli_version);
    report["started"] = text(facts.started);
    QJsonArray command_line;
    for (const std::string& argument : facts.command_line) command_line.append(text(argument));
    report["command_line"] = command_line;
    report["command"] = command_name(facts.command);
    if (facts.command == CliOptions::Command::kApply) report["check"] = facts.check;
    if (facts.document_path.empty()) {
        report["document"] = QJsonValue::Null;
    } else {
        QJsonObject document;
        document["path"] = text(facts.document_path);
        document["sha256"] = facts.document_sha256.empty() ? QJsonValue::Null : QJsonValue(text(facts.document_sha256));
        report["document"] = document;
    }
    QJsonArray units;
    int ok = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        ok += jobs[i]->succeeded() ? 1 : 0;
        units.append(unit_object(*jobs[i], static_cast<int>(i) + 1, facts));
    }
    report["units"] = units;
    const int count = static_cast<int>(jobs.size());
    QJsonObject totals;
    totals["units"] = count;
    totals["ok"] = ok;
    totals["failed"] = count - ok;
    totals["seconds"] = milliseconds_rounded(facts.seconds);
    report["totals"] = totals;
    report["result"] = facts.exit_status == 0 ? "ok" : "failed";
    report["reason"] = facts.reason.empty() ? QJsonValue::Null : QJsonValue(text(facts.reason));
    report["reason_code"] = optional_code(facts.reason_code);
    report["signal"] = facts.signal ? QJsonValue(text(signal_name(*facts.signal))) : QJsonValue::Null;
    report["exit_status"] = facts.exit_status;
    return report;
}

QByteArray report_text(const QJsonObject& report) {
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

}  // namespace tvx
