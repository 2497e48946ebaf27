#include "ui/compare_and_ports_install.h"

#include <QFileInfo>
#include <fstream>
#include <iterator>

#include "app/command_table.h"
#include "app/main_window.h"
#include "model/settings_document.h"
#include "ui/compare_dialog.h"
#include "ui/file_document_dialogs.h"
#include "ui/window_modal.h"

namespace tvx {

std::optional<std::vector<SettingDifference>> compare_with_document(const SettingsModel& memory,
                                                                    const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    // The document is read over defaults, as opening it would read it.
    SettingsModel document;
    read_document(document, bytes);
    return compare_settings(memory, document);
}

void install_compare_and_ports(MainWindow& window, ToolState& tool, Notices& notices) {
    MainWindow* owner = &window;
    window.register_opener(command::kCompare, [owner, &tool, &notices] {
        FileDocumentDialogs files(owner);
        const std::optional<std::string> path = files.ask_open_path();
        if (!path) return;
        const auto differences = compare_with_document(tool.model, *path);
        if (!differences) {
            notices.notify_warning("Can't file open");
            return;
        }
        CompareDialog dialog(*differences, QFileInfo(QString::fromStdString(*path)).fileName(), owner);
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
