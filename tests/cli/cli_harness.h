#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/console.h"
#include "config/safe_file.h"
#include "model/settings_document.h"
#include "support/json_schema.h"
#include "unit/unit_event_loop.h"
#include "unit/unit_tcp_hosts.h"
#include "unit/virtual_unit.h"

namespace tvx::testing {

// Every report a test's run produces is held against the schema the tool ships.
inline void expect_report_conforms(const std::string& text, const std::string& where) {
    static const QJsonObject schema = read_schema(QStringLiteral(TVX230_REPORT_SCHEMA));
    ASSERT_FALSE(schema.isEmpty()) << "the report schema could not be read";
    QJsonParseError error{};
    const QJsonDocument report = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << where << ": " << error.errorString().toStdString();
    for (const std::string& problem : schema_problems(schema, report.object()))
        ADD_FAILURE() << where << ": " << problem;
}

// One run of the command-line tool inside the test program: its standard error and output captured, the
// event loop pumped until it ends.
class CliHarness {
  public:
    CliHarness() { ensure_unit_application(); }

    // Runs the arguments; the exit status (2 for arguments refused), or -1 when the run did not end in time.
    // on_listening is called with the port once a server-role run listens.
    int run(const std::vector<std::string>& arguments, std::function<void(quint16)> on_listening = {},
            std::chrono::milliseconds deadline = std::chrono::seconds(8)) {
        if (!start(arguments, std::move(on_listening))) return 2;
        return wait(deadline);
    }

    // The same in two halves, for tests that play the far end meanwhile. False for arguments refused.
    bool start(const std::vector<std::string>& arguments, std::function<void(quint16)> on_listening = {}) {
        err.str({});
        out.str({});
        const CliParse parsed = parse_cli_options(arguments);
        if (!parsed.options) {
            err << parsed.error << "\n";
            return false;
        }
        options = *parsed.options;
        cli = std::make_unique<CliRun>(*parsed.options, console, out);
        cli->set_invocation(arguments, "test");
        if (on_listening) QObject::connect(cli.get(), &CliRun::listening, on_listening);
        cli->start();
        return true;
    }
    int wait(std::chrono::milliseconds deadline = std::chrono::seconds(8)) {
        if (!run_until([this] { return cli->is_finished(); }, deadline)) return -1;
        if (!options.report.empty()) {
            std::string text;
            if (read_whole_file(options.report, text)) expect_report_conforms(text, options.report);
        }
        if (options.json) expect_report_conforms(out.str(), "--json");
        return cli->exit_code();
    }

    // On Windows the messages name paths with either separator, as the system gives them; the tests
    // read them with the forward one.
    std::string errors() const {
        std::string text = err.str();
#ifdef _WIN32
        std::replace(text.begin(), text.end(), '\\', '/');
#endif
        return text;
    }
    std::string output() const {
        return out.str();
    }

    std::ostringstream err;
    std::ostringstream out;
    Console console{err, false};
    std::unique_ptr<CliRun> cli;
    CliOptions options;
};

// A temporary folder with small helpers for the files of a run.
class Files {
  public:
    std::string path(const std::string& name) const { return (dir_.path() + "/").toStdString() + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string p = path(name);
        write_file_replacing(p, bytes);
        return p;
    }
    std::string read(const std::string& name) const {
        std::string bytes;
        read_whole_file(path(name), bytes);
        return bytes;
    }
    bool exists(const std::string& name) const {
        std::string bytes;
        return read_whole_file(path(name), bytes);
    }

  private:
    QTemporaryDir dir_;
};

// A unit of its own making for what the virtual unit does not do: every line it receives is recorded and
// answered by the script, which may also close the connection.
class ScriptedUnit : public QObject {
  public:
    struct Answer {
        QByteArray bytes;
        bool close = false;
    };
    using Script = std::function<Answer(int index, const QByteArray& line)>;

    explicit ScriptedUnit(Script script) : script_(std::move(script)) {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { feed(socket); });
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }

    std::vector<std::string> lines;

  private:
    void feed(QTcpSocket* socket) {
        buffer_ += socket->readAll();
        for (int lf = buffer_.indexOf('\n'); lf >= 0; lf = buffer_.indexOf('\n')) {
            const QByteArray line = buffer_.left(lf + 1);
            buffer_.remove(0, lf + 1);
            lines.push_back(line.toStdString());
            const Answer answer = script_(static_cast<int>(lines.size()), line);
            socket->write(answer.bytes);
            if (answer.close) {
                socket->disconnectFromHost();
                return;
            }
        }
    }

    QTcpServer server_;
    Script script_;
    QByteArray buffer_;
};

// Records every whole line a virtual unit receives.
inline void record_lines(VirtualUnit& unit, std::vector<std::string>& lines) {
    unit.observer = [&lines](std::string_view line, const std::optional<std::string>&) {
        lines.emplace_back(line);
    };
}

// A virtual unit on loopback that records every line it receives, and runs of the tool against it at the
// fastest pace with a short answer time-out.
class CliAgainstTcpUnit : public ::testing::Test {
  protected:
    void SetUp() override {
        record_lines(unit, received);
        QString error;
        ASSERT_TRUE(server.listen(0, error)) << error.toStdString();
        target = "127.0.0.1:" + std::to_string(server.port());
    }

    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--tcp", target, "--pace", "reply", "--reply-timeout", "0.4"});
        return cli.run(arguments);
    }

    VirtualUnit unit;
    UnitTcpServer server{unit};
    std::vector<std::string> received;
    std::string target;
    CliHarness cli;
    Files files;
};

}  // namespace tvx::testing
