#include "app/compare_and_ports_install.h"

#include <QFileInfo>

#include "app/command_table.h"
#include "app/main_window.h"
#include "editors/document_commands.h"
#include "link/qt_path.h"
#include "ui/compare_dialog.h"
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
        const auto differences = compare_with_document(tool.model, *path, notices);
        if (!differences) return;
        CompareDialog dialog(*differences, QFileInfo(to_qstring(*path)).fileName(), owner);
        dialog.set_notices(notices);
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
