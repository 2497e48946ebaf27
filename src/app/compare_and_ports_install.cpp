#include "app/compare_and_ports_install.h"

#include <QFileInfo>

#include "app/command_table.h"
#include "app/main_window.h"
#include "editors/document_commands.h"
#include "link/qt_path.h"
#include "link/tcp_link.h"
#include "ui/compare_dialog.h"
#include "ui/fleet_dialog.h"
#include "ui/file_document_dialogs.h"
#include "ui/window_modal.h"

namespace tvx {

std::optional<std::vector<SettingDifference>> compare_with_document(const SettingsModel& memory,
                                                                    const std::filesystem::path& path,
                                                                    Notices& notices) {
    // Read over the settings in memory, as opening it would read it.
    SettingsModel document = memory;
    if (!read_document_file(path, document, notices, DocumentUse::kCompare)) return std::nullopt;
    return compare_settings(memory, document);
}

void install_compare_and_ports(MainWindow& window, ToolState& tool, Notices& notices) {
    MainWindow* owner = &window;
    window.register_opener(command::kCompare, [owner, &tool, &notices] {
        FileDocumentDialogs files(owner, tool.config);
        const std::optional<std::filesystem::path> path = files.ask_open_path();
        if (!path) return;
        // Several units chosen in the server dialog: each is read and compared with the document.
        if (tool.config.link_interface == 1 && tool.config.client_server == 1) {
            auto document = std::make_shared<SettingsModel>();
            FleetController::Request request{FleetController::Command::kCompare, "比較"};
            request.reference = document;
            if (const auto* link = owner->findChild<TcpLink*>(); link && link->chosen_clients().size() > 1) {
                if (!read_document_file(*path, *document, notices, DocumentUse::kCompare)) return;
                run_on_chosen_units(owner, tool, notices, std::move(request));
                return;
            }
        }
        const auto differences = compare_with_document(tool.model, *path, notices);
        if (!differences) return;
        CompareDialog dialog(*differences, QFileInfo(to_qstring(*path)).fileName(), owner);
        dialog.set_notices(notices);
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
