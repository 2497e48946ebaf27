#include "app/operator_tools_install.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include "app/command_table.h"
#include "app/main_window.h"
#include "link/comm_log.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "ui/bus_scan_dialog.h"
#include "ui/comm_log_window.h"
#include "ui/window_modal.h"

namespace tvx {

namespace {

// Ctrl+L opens the log from whichever window of the tool has the keyboard, also while a dialog holds
// the main window and its menu.
class LogShortcut : public QObject {
  public:
    LogShortcut(std::function<void()> open, QObject* parent) : QObject(parent), open_(std::move(open)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (QKeySequence(key->keyCombination()) == kCommLogShortcut && !key->isAutoRepeat()) {
                open_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> open_;
};

}  // namespace

void install_operator_tools(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link,
                            SerialLink* serial, CommLog& comm_log) {
    MainWindow* owner = &window;
    // The log records from start-up, whether its window is open or not.
    CommLog* log = &comm_log;
    if (serial) serial->set_traffic_observer(log->observer());
    if (auto* tcp = window.findChild<TcpLink*>()) tcp->set_traffic_observer(log->observer());

    // The log's window belongs to no other window, so a dialog that holds the main window leaves it
    // usable; it goes with the log.
    auto shown = std::make_shared<QPointer<CommLogWindow>>();
    QObject::connect(log, &QObject::destroyed, [shown] { delete shown->data(); });
    const auto open_log = [log, &tool, &notices, shown] {
        if (!*shown) {
            *shown = new CommLogWindow(*log, notices, &tool.config);
            (*shown)->setObjectName(QStringLiteral("comm_log_window"));
        }
        (*shown)->show();
        (*shown)->raise();
        (*shown)->activateWindow();
    };
    window.register_opener(command::kCommLog, open_log);
    if (QAction* entry = window.action(command::kCommLog)) {
        // Shown in the menu; the menu's own shortcut only acts while the menu is open.
        entry->setShortcut(kCommLogShortcut);
        entry->setShortcutContext(Qt::WidgetShortcut);
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(new LogShortcut(open_log, log));

    QPointer<SerialLink> serial_link(serial);
    window.register_opener(command::kBusScan, [owner, &tool, &notices, &link, serial_link] {
        BusScanDialog dialog(
            tool, link, notices,
            [serial_link](std::function<void(const std::string&)> handler) {
                if (serial_link) serial_link->set_reply_handler(std::move(handler));
            },
            owner);
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
