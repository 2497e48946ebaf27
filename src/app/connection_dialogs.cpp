#include "app/connection_dialogs.h"

#include <memory>

#include "app/command_table.h"
#include "app/main_window.h"
#include "link/tcp_link.h"
#include "ui/connection_choice_dialog.h"
#include "ui/tcp_client_dialog.h"
#include "ui/tcp_server_dialog.h"
#include "ui/window_modal.h"

namespace tvx {

TcpLink* install_connection_dialogs(MainWindow& window, ToolState& tool, Notices& notices) {
    auto* link = new TcpLink(tool, notices, &window);
    MainWindow* owner = &window;

    window.register_opener(command::kInterface, [&tool, link, owner] {
        std::unique_ptr<ConnectionChoiceDialog> dialog(make_interface_dialog(tool, *link, owner));
        exec_window_modal(*dialog);
    });
    window.register_opener(command::kSerialSettings, [&tool, owner] {
        std::unique_ptr<ConnectionChoiceDialog> dialog(make_serial_settings_dialog(tool, owner));
        exec_window_modal(*dialog);
    });
    // The main window sets its caption again from the choice when this closes.
    window.register_opener(command::kClientServer, [&tool, link, owner] {
        std::unique_ptr<ConnectionChoiceDialog> dialog(make_client_server_dialog(tool, *link, owner));
        exec_window_modal(*dialog);
    });
    window.register_opener(command::kTcpSettings, [&tool, &notices, link, owner] {
        if (tool.config.client_server == 1) {
            TcpServerDialog dialog(tool, *link, owner);
            exec_window_modal(dialog);
        } else {
            TcpClientDialog dialog(tool, notices, *link, owner);
            exec_window_modal(dialog);
        }
    });
    return link;
}

}  // namespace tvx
