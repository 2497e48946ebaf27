#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/reason_code.h"
#include "cli/unit_job.h"

namespace tvx {

// The run as a whole, for the top of the report.
struct RunFacts {
    std::string cli_version;
    std::string started;                    // UTC, ISO 8601
    std::vector<std::string> command_line;  // the arguments after the program's name
    CliOptions::Command command = CliOptions::Command::kSend;
    bool verify = false;
    bool check = false;  // apply --check
    std::string document_path;    // the input sent (document, bank file, backup folder); empty for none
    std::string document_sha256;  // its digest in hex; empty for a folder or a file not read
    double seconds = 0;           // from the first unit's start to the end
    std::string reason;           // why the run ended before reaching its units; empty when it did not
    ReasonCode reason_code = ReasonCode::kNone;
    std::optional<int> signal;  // the signal that stopped the run
    int exit_status = 0;
};

// "send-all", "glyphs register", ...
const char* command_name(CliOptions::Command command);

// The run's report as the schema file beside the man page describes it (tvx230-cli-report.schema.json):
// numbers as JSON numbers whatever the locale, text as UTF-8.
QJsonObject run_report(const RunFacts& facts, const std::vector<std::unique_ptr<UnitJob>>& jobs);
QByteArray report_text(const QJsonObject& report);

// "SIGINT", "SIGTERM", "SIGHUP", or "signal N".
std::string signal_name(int signal);

}  // namespace tvx
