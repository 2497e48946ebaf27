#include "ui/operator_tools_install.h"

#include <QPointer>

#include "app/command_table.h"
#include "app/main_window.h"
#include "link/comm_log.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "ui/bus_scan_dialog.h"
#include "ui/comm_log_window.h"

namespace tvx {

void install_operator_tools(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link,
                            SerialLink* serial) {
    MainWindow* owner = &window;
    // The log lives as long as the window and records from start-up, whether its window is open or not.
    auto* log = new CommLog(owner);
    log->setObjectName(QStringLiteral("comm_log"));
    if (serial) serial->set_traffic_observer(log->observer());
    if (auto* tcp = window.findChild<TcpLink*>()) tcp->set_traffic_observer(log->observer());

    auto shown = std::make_shared<QPointer<CommLogWindow>>();
    window.register_opener(command::kCommLog, [owner, log, &notices, shown] {
        if (!*shown) *shown = new CommLogWindow(*log, notices, owner);
        (*shown)->show();
        (*shown)->raise();
        (*shown)->activateWindow();
    });

    QPointer<SerialLink> serial_link(serial);
    window.register_opener(command::kBusScan, [owner, &tool, &notices, &link, serial_link] {
        BusScanDialog dialog(
            tool, link, notices,
            [serial_link](std::function<void(const std::string&)> handler) {
                if (serial_link) serial_link->set_reply_handler(std::move(handler));
            },
            owner);
        dialog.exec();
    });
}

}  // namespace tvx
