// tvx230-unit: a virtual TVX-230 unit for trying the tool without hardware, and for tests and demos.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

#include "link/qt_path.h"
#include "unit/unit_serial_host.h"
#include "unit/unit_tcp_hosts.h"
#include "unit/virtual_unit.h"

namespace {

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

// A line as the log shows it: printable ASCII, the rest as escapes, long lines shortened.
QString shown(std::string_view text) {
    QString out;
    for (const char c : text.substr(0, 80)) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += QChar(c);
        } else {
            out += QString("\\x%1").arg(static_cast<unsigned char>(c), 2, 16, QChar('0'));
        }
    }
    if (text.size() > 80) out += QString("... (%1 bytes)").arg(text.size());
    return out;
}

bool parse_int(const QString& text, int min, int max, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= min && value <= max;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvx230-unit");
    QCoreApplication::setApplicationVersion(TVX230_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A virtual TVX-230 unit. It answers the tool's commands like a unit: \"GO\" to settings, data lines "
        "to reads, \"E3\" to anything it does not know.\n\n"
        "Where it listens (one of):\n"
        "  --pty                a pseudo-terminal of its own; its path is printed on the first output line\n"
        "  --serial DEVICE      a serial device\n"
        "  --tcp-server PORT    a TCP server (the tool connects as client); with --ports N, N units each\n"
        "                       on a port of its own (PORT, PORT+1, ...; with 0 any free ports), one port\n"
        "                       a line on the output\n"
        "  --tcp-client HOST:PORT  connect to the tool's TCP server (--count units)");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption pty("pty", "Listen on a new pseudo-terminal (the default).");
    const QCommandLineOption serial("serial", "Listen on a serial device.", "device");
    const QCommandLineOption tcp_server("tcp-server", "Listen for TCP connections on a port.", "port");
    const QCommandLineOption tcp_client("tcp-client", "Connect to a TCP server.", "host:port");
    const QCommandLineOption count("count", "Units connecting with --tcp-client (1 to 96).", "n", "1");
    const QCommandLineOption ports("ports", "Units served with --tcp-server, a port each (1 to 1024).", "n",
                                   "1");
    const QCommandLineOption forget("forget",
                                    "Answer GO to setting commands starting with this text, but do not keep "
                                    "them.",
                                    "prefix");
    const QCommandLineOption rs485("rs485", "Answer as RS-485 unit with this slave address (0 to 31).",
                                   "address");
    const QCommandLineOption document("document", "Load the settings document (and bank files beside it).",
                                      "file");
    const QCommandLineOption save("save", "Write the state back to --document after every change.");
    const QCommandLineOption version("unit-version", "Version text of the unit (4 characters).", "text",
                                     "1.00");
    const QCommandLineOption error_at("error-at", "Answer the k-th line with --error instead.", "k");
    const QCommandLineOption error_every("error-every", "Answer every line from --error-at on with --error.");
    const QCommandLineOption error_reply("error", "Error reply: E0, E1, E2, E3, MENU or GN.", "reply", "E3");
    const QCommandLineOption silent_at("silent-at", "Do not answer the k-th line.", "k");
    const QCommandLineOption silent("silent", "Answer nothing at all.");
    const QCommandLineOption stray_at("stray-at", "Answer the k-th line with --stray instead.", "k");
    const QCommandLineOption stray(
        "stray", "Stray answer, sent as it stands (no address in front): noise, another command's line.",
        "text", "?");
    const QCommandLineOption pieces("pieces", "Send answers in pieces of n bytes.", "n");
    const QCommandLineOption piece_gap("piece-gap", "Milliseconds between pieces.", "ms", "30");
    const QCommandLineOption delay("delay", "Milliseconds before each answer.", "ms");
    const QCommandLineOption line_rate(
        "line-rate",
        "Hold each answer until the command and the answer would have crossed a serial line of this many "
        "baud (11 bits a byte: 8 data bits, even parity, one stop bit); a pseudo-terminal has no speed.",
        "baud");
    const QCommandLineOption quiet("quiet", "Do not log lines.");
    parser.addOptions({pty,      serial, tcp_server, tcp_client, count,       ports,       forget,    rs485,
                       document, save,   version,    error_at,   error_every, error_reply, silent_at, silent,
                       stray_at, stray,  pieces,     piece_gap,  delay,       line_rate, quiet});
    parser.process(app);

    const auto fail = [](const QString& message) {
        err() << "tvx230-unit: " << message << Qt::endl;
        return 2;
    };

    tvx::UnitFaults faults;
    int value = 0;
    if (parser.isSet(error_at)) {
        if (!parse_int(parser.value(error_at), 1, 1000000, value))
            return fail("--error-at needs a line number");
        faults.error_at_line = value;
    }
    faults.error_every_line = parser.isSet(error_every);
    faults.error_reply = parser.value(error_reply).toStdString();
    if (!QStringList{"E0", "E1", "E2", "E3", "MENU", "GN"}.contains(parser.value(error_reply))) {
        return fail("--error must be E0, E1, E2, E3, MENU or GN");
    }
    if (parser.isSet(silent_at)) {
        if (!parse_int(parser.value(silent_at), 1, 1000000, value))
            return fail("--silent-at needs a line number");
        faults.silent_at_line = value;
    }
    faults.silent = parser.isSet(silent);
    if (parser.isSet(stray_at)) {
        if (!parse_int(parser.value(stray_at), 1, 1000000, value))
            return fail("--stray-at needs a line number");
        faults.stray_at_line = value;
    }
    faults.stray_answer = parser.value(stray).toStdString();
    if (faults.stray_answer.find_first_of("\r\n") != std::string::npos)
        return fail("--stray must be one line");
    if (parser.isSet(pieces)) {
        if (!parse_int(parser.value(pieces), 1, 100000, value)) return fail("--pieces needs a byte count");
        faults.piece_size = value;
    }
    if (!parse_int(parser.value(piece_gap), 0, 60000, faults.piece_gap_ms))
        return fail("--piece-gap needs milliseconds");
    if (parser.isSet(delay) && !parse_int(parser.value(delay), 0, 600000, faults.delay_ms)) {
        return fail("--delay needs milliseconds");
    }
    if (parser.isSet(line_rate) && !parse_int(parser.value(line_rate), 300, 1000000, faults.line_baud)) {
        return fail("--line-rate needs a baud rate from 300");
    }

    if (parser.isSet(forget)) {
        faults.forget_prefix = parser.value(forget).toStdString();
        if (faults.forget_prefix.empty()) return fail("--forget needs the start of a command");
    }

    int units = 1;
    if (!parse_int(parser.value(count), 1, 96, units)) return fail("--count must be 1 to 96");
    if (units > 1 && !parser.isSet(tcp_client)) return fail("--count is for --tcp-client");
    int port_count = 1;
    if (!parse_int(parser.value(ports), 1, 1024, port_count)) return fail("--ports must be 1 to 1024");
    if (port_count > 1 && !parser.isSet(tcp_server)) return fail("--ports is for --tcp-server");
    if (port_count > 1) units = port_count;
    if (parser.isSet(save) && (!parser.isSet(document) || units > 1))
        return fail("--save needs --document and one unit");

    int address = 0;
    if (parser.isSet(rs485) && !parse_int(parser.value(rs485), 0, 31, address))
        return fail("--rs485 must be 0 to 31");

    const std::string version_text = parser.value(version).toStdString();
    if (version_text.size() != 4) return fail("--unit-version must be 4 characters");

    std::vector<std::unique_ptr<tvx::VirtualUnit>> unit_list;
    for (int n = 0; n < units; ++n) {
        auto unit = std::make_unique<tvx::VirtualUnit>();
        if (parser.isSet(document)) {
            if (!unit->load(tvx::to_path(parser.value(document))) && !parser.isSet(save)) {
                return fail("cannot read " + parser.value(document));
            }
        }
        unit->settings().network.version_number = version_text;
        unit->faults = faults;
        unit->rs485 = parser.isSet(rs485);
        unit->address = address;
        if (!parser.isSet(quiet)) {
            unit->observer = [n, units](std::string_view line, const std::optional<std::string>& answer) {
                const QString who = units > 1 ? QString("unit %1: ").arg(n + 1) : QString();
                err() << who << "<< " << shown(line);
                if (answer) err() << "   >> " << shown(*answer);
                err() << Qt::endl;
            };
        }
        unit_list.push_back(std::move(unit));
    }

    // Saving: after the lines of a burst have been handled, at most every half second.
    QTimer save_timer;
    save_timer.setSingleShot(true);
    save_timer.setInterval(500);
    QObject::connect(&save_timer, &QTimer::timeout, [&] {
        if (!unit_list.front()->save(tvx::to_path(parser.value(document)))) {
            err() << "tvx230-unit: cannot write " << parser.value(document) << Qt::endl;
        }
    });
    const auto changed = [&] {
        if (parser.isSet(save) && !save_timer.isActive()) save_timer.start();
    };

    tvx::VirtualUnit& first = *unit_list.front();
    std::vector<std::unique_ptr<QObject>> hosts;
    QString error;
    if (parser.isSet(serial)) {
        auto host = std::make_unique<tvx::UnitSerialHost>(first);
        QString warnings;
        if (!host->open(parser.value(serial), error, warnings))
            return fail(parser.value(serial) + ": " + error);
        if (!warnings.isEmpty()) err() << "line settings the device refused:\n" << warnings << Qt::flush;
        QObject::connect(&host->session(), &tvx::UnitSession::lines_handled, changed);
        err() << "listening on " << parser.value(serial) << Qt::endl;
        hosts.push_back(std::move(host));
    } else if (parser.isSet(tcp_server)) {
        if (!parse_int(parser.value(tcp_server), 0, 65535, value) ||
            (value != 0 && value + units - 1 > 65535))
            return fail("--tcp-server needs a port");
        for (int n = 0; n < units; ++n) {
            auto host = std::make_unique<tvx::UnitTcpServer>(*unit_list[static_cast<std::size_t>(n)]);
            const int port = value == 0 ? 0 : value + n;
            if (!host->listen(static_cast<quint16>(port), error)) return fail(error);
            QObject::connect(host.get(), &tvx::UnitTcpServer::lines_handled, changed);
            std::printf("%u\n", static_cast<unsigned>(host->port()));
            err() << "listening on TCP port " << host->port() << Qt::endl;
            hosts.push_back(std::move(host));
        }
        std::fflush(stdout);
    } else if (parser.isSet(tcp_client)) {
        const QString target = parser.value(tcp_client);
        const int colon = target.lastIndexOf(':');
        if (colon <= 0 || !parse_int(target.mid(colon + 1), 1, 65535, value))
            return fail("--tcp-client needs host:port");
        for (int n = 0; n < units; ++n) {
            auto host = std::make_unique<tvx::UnitTcpClient>(*unit_list[static_cast<std::size_t>(n)],
                                                             target.left(colon), static_cast<quint16>(value));
            QObject::connect(host.get(), &tvx::UnitTcpClient::lines_handled, changed);
            QObject::connect(host.get(), &tvx::UnitTcpClient::connected_to_tool,
                             [n] { err() << "unit " << n + 1 << " connected" << Qt::endl; });
            host->start();
            hosts.push_back(std::move(host));
        }
        err() << units << (units == 1 ? " unit connects to " : " units connect to ") << target << Qt::endl;
    } else {
        auto host = std::make_unique<tvx::UnitPtyHost>(first);
        if (!host->open(error)) return fail("no pseudo-terminal: " + error);
        QObject::connect(&host->session(), &tvx::UnitSession::lines_handled, changed);
        std::printf("%s\n", host->slave_path().toLocal8Bit().constData());
        std::fflush(stdout);
        err() << "listening on " << host->slave_path() << Qt::endl;
        hosts.push_back(std::move(host));
    }
    if (parser.isSet(rs485)) err() << "RS-485 slave address " << address << Qt::endl;

    return app.exec();
}
