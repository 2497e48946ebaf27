#include "app/sequence_dialogs_install.h"

#include <memory>
#include <string>

#include "app/command_table.h"
#include "app/main_window.h"
#include "link/tcp_link.h"
#include "editors/full_send_controller.h"
#include "ui/fleet_dialog.h"
#include "ui/full_send_dialog.h"
#include "ui/read_back_dialog.h"
#include "ui/title_editor_dialog.h"
#include "ui/window_modal.h"

namespace tvx {
namespace {

// The address of the TCP unit select_number names, for the window titles; empty when there is no TCP
// link or the number names no entry.
std::string selected_unit_address(const MainWindow& window, const ToolState& tool) {
    const auto* link = window.findChild<TcpLink*>();
    const int number = tool.config.select_number;
    if (!link || number < 0 || number >= kClientTableSize) return {};
    return link->client_table()[static_cast<std::size_t>(number)].address;
}

}  // namespace

void install_sequence_dialogs(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link) {
    MainWindow* owner = &window;
    window.register_opener(command::kTitle, [owner, &tool, &notices, &link] {
        TitleEditorDialog dialog(tool, link, notices, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kFullSend, [owner, &tool, &notices, &link] {
        // Several units chosen in the server dialog: the full send goes to each of them.
        if (run_on_chosen_units(owner, tool, notices,
                                {FleetController::Command::kFullSend, std::string(kFullSendCaption)}))
            return;
        std::unique_ptr<UnitSequenceDialog> dialog(
            make_full_send_dialog(tool, link, notices, selected_unit_address(*owner, tool), owner));
        exec_window_modal(*dialog);
    });
    // Also what the hidden entry opens.
    window.register_opener(command::kReadBack, [owner, &tool, &notices, &link] {
        std::unique_ptr<UnitSequenceDialog> dialog(
            make_read_back_dialog(tool, link, notices, selected_unit_address(*owner, tool), owner));
        exec_window_modal(*dialog);
    });
}

}  // namespace tvx
