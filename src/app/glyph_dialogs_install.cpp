#include "app/glyph_dialogs_install.h"

#include <memory>
#include <string>

#include "app/command_table.h"
#include "app/main_window.h"
#include "editors/glyph_editor_memory.h"
#include "link/tcp_link.h"
#include "ui/glyph_insert_dialog.h"
#include "ui/glyph_list_dialog.h"
#include "ui/window_modal.h"

namespace tvx {
namespace {

// The address of the TCP unit select_number names, for the window titles; empty without one.
std::string selected_unit_address(const MainWindow& window, const ToolState& tool) {
    const auto* link = window.findChild<TcpLink*>();
    const int number = tool.config.select_number;
    if (!link || number < 0 || number >= kClientTableSize) return {};
    return link->client_table()[static_cast<std::size_t>(number)].address;
}

}  // namespace

void install_glyph_dialogs(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link) {
    MainWindow* owner = &window;
    // What the glyph tools remember between openings lives as long as the menu entries.
    auto memory = std::make_shared<GlyphEditorMemory>();
    auto files = std::make_shared<GlyphFileDialogs>(owner, tool.config);

    const std::pair<int, const GlyphSize*> lists[] = {{command::kGlyphListSmall, &kSmall},
                                                      {command::kGlyphListMedium, &kMedium},
                                                      {command::kGlyphListLarge, &kLarge}};
    for (const auto& [id, size] : lists) {
        window.register_opener(id, [owner, &tool, &notices, &link, memory, files, size = size] {
            GlyphListDialog dialog(tool, notices, link, *files, *memory, *size,
                                   selected_unit_address(*owner, tool), owner);
            exec_window_modal(dialog);
        });
    }
    window.register_opener(command::kGlyphInsert, [owner, &tool, &link, memory] {
        GlyphInsertDialog dialog(tool, link, *memory, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
