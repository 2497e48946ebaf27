#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "ui/message_box_notices.h"
#include "ui/qt_translations.h"

namespace {

// The whole interface is Japanese: when the default font cannot show it, take a Japanese one.
void use_japanese_font(QApplication& app) {
    const QString sample = QStringLiteral("設定");
    const QFontMetrics metrics(app.font());
    if (metrics.inFontUcs4(sample.at(0).unicode()) && metrics.inFontUcs4(sample.at(1).unicode())) return;
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& preferred : {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")}) {
        if (japanese.contains(preferred)) {
            app.setFont(QFont(preferred, app.font().pointSize()));
            return;
        }
    }
    if (!japanese.isEmpty()) app.setFont(QFont(japanese.front(), app.font().pointSize()));
}

constexpr char kUsage[] =
    "Usage: tvx230 [--help] [--version] [Qt options]\n"
    "\n"
    "The desktop configuration tool of the TVX-230 video title unit: sets the display options, page\n"
    "titles, schedule and user-defined glyphs of a unit and sends them over RS-232C, RS-485 or TCP/IP,\n"
    "reads a unit's settings back and keeps them as settings documents. Its interface is in Japanese.\n"
    "Only one copy runs at a time.\n"
    "\n"
    "  --help                   print this text and end\n"
    "  --version                print the version of this build and end\n"
    "\n"
    "Qt's own options (such as -platform offscreen, -style NAME or -reverse) are taken as every Qt\n"
    "program takes them. The connection choices and the recent folders are kept in\n"
    "$XDG_CONFIG_HOME/tvx230/tvx230.ini (by default ~/.config/tvx230/tvx230.ini).\n"
    "\n"
    "See also tvx230-cli(1) for scripts and fleets, tvx230-unit(1) for a virtual unit.\n";

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before anything else, so that it works without a display and without the instance lock.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tvx230 %s\n", TVX230_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tvx230"));
    QApplication::setApplicationVersion(QStringLiteral(TVX230_VERSION));
    // The installed menu entry, so that a desktop shows the entry's name and icon for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tvx230.tvx230"));
    use_japanese_font(app);
    tvx::install_qt_translations(app);

    tvx::MessageBoxNotices notices;
    tvx::Application tool(notices);
    if (tool.start() != tvx::Application::Start::kRunning) {
        // "２重に起動はできません" has to be read before this copy ends.
        notices.show_waiting();
        return 0;
    }
    return QApplication::exec();
}
