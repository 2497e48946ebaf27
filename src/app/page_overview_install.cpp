#include "app/page_overview_install.h"

#include "app/command_table.h"
#include "app/main_window.h"
#include "ui/comparison_memory.h"
#include "ui/page_overview_dialog.h"
#include "ui/window_modal.h"

namespace tvx {

void install_page_overview(MainWindow& window, ToolState& tool) {
    MainWindow* owner = &window;
    auto* comparison = new ComparisonMemory(owner);
    window.register_opener(command::kPageOverview, [owner, &tool, comparison] {
        PageOverviewDialog dialog(tool, comparison, owner);
        // The title editor shows the page double-clicked: it is the editors' current page.
        dialog.set_open_page([owner, &tool](int page) {
            tool.model.run.current_page = page;
            owner->run_command(command::kTitle);
        });
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
