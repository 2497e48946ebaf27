// tvx230-cli: the headless companion of the desktop tool, for scripts and fleets of units.

#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/stop_signals.h"

namespace {

struct Terminal {
    bool is_terminal = false;
    int columns = 80;
    int rows = 24;
};

// Standard error, where the progress bars go: whether it is a terminal, and its size.
Terminal standard_error() {
    Terminal t;
#ifdef _WIN32
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    // The bars are redrawn with terminal escapes, which a console takes once asked to.
    t.is_terminal = _isatty(2) != 0 && GetConsoleMode(handle, &mode) &&
                    SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (t.is_terminal && GetConsoleScreenBufferInfo(handle, &info)) {
        t.columns = info.srWindow.Right - info.srWindow.Left + 1;
        t.rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    }
#else
    t.is_terminal = isatty(STDERR_FILENO) != 0;
    winsize size{};
    if (t.is_terminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        t.columns = size.ws_col;
        t.rows = size.ws_row;
    }
#endif
    return t;
}

// The arguments as UTF-8 text. On Windows argv is in the ANSI code page, where a Japanese file name is
// already lost: the command line is read again as Windows keeps it, in UTF-16.
std::vector<std::string> utf8_arguments(int argc, char* argv[]) {
#ifdef _WIN32
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        std::vector<std::string> arguments;
        for (int i = 1; i < count; ++i) arguments.push_back(QString::fromWCharArray(wide[i]).toStdString());
        LocalFree(wide);
        return arguments;
    }
#endif
    // Bytes as given: on Linux a name that is not valid UTF-8 still names its file.
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // Everything printed is UTF-8 (notices, titles); a console shows it as such only when told.
    SetConsoleOutputCP(CP_UTF8);
#endif
    const std::vector<std::string> arguments = utf8_arguments(argc, argv);
    const tvx::CliParse parsed = tvx::parse_cli_options(arguments);
    if (!parsed.options) {
        std::cerr << "tvx230-cli: " << parsed.error << "\n"
                  << "Try 'tvx230-cli --help'.\n";
        return 2;
    }
    if (parsed.options->help) {
        std::cout << tvx::cli_usage();
        return 0;
    }
    if (parsed.options->version) {
        std::cout << "tvx230-cli " TVX230_VERSION "\n";
        return 0;
    }

    // render draws text and pictures, which takes Qt Gui; on the offscreen platform, so that it needs no
    // display. Every other command stays without one.
    std::unique_ptr<QCoreApplication> app;
    if (parsed.options->command == tvx::CliOptions::Command::kRender) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName("tvx230-cli");
    QCoreApplication::setApplicationVersion(TVX230_VERSION);
    const Terminal terminal = standard_error();
    tvx::Console console(std::cerr, terminal.is_terminal, terminal.columns, terminal.rows);
    tvx::CliRun run(*parsed.options, console, std::cout);
    run.set_invocation(arguments, TVX230_VERSION);
    // An interrupted run still writes its report and log and prints its summary.
    tvx::StopSignals stop_signals;
    QObject::connect(&stop_signals, &tvx::StopSignals::stop_requested, &run, &tvx::CliRun::interrupt);
    QObject::connect(
        &run, &tvx::CliRun::finished, app.get(), [](int code) { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
    run.start();
    return QCoreApplication::exec();
}
