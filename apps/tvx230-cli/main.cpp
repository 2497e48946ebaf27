// tvx230-cli: the headless companion of the desktop tool, for scripts and fleets of units.

#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define TVX_ISATTY _isatty
#define TVX_STDERR_FD 2
#else
#include <unistd.h>
#define TVX_ISATTY isatty
#define TVX_STDERR_FD STDERR_FILENO
#endif

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/console.h"

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
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

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvx230-cli");
    tvx::Console console(std::cerr, TVX_ISATTY(TVX_STDERR_FD) != 0);
    tvx::CliRun run(*parsed.options, console, std::cout);
    QObject::connect(
        &run, &tvx::CliRun::finished, &app, [](int code) { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
    run.start();
    return app.exec();
}
