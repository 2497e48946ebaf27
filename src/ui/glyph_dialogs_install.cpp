#include "ui/glyph_dialogs_install.h"

#include "app/main_window.h"

namespace tvx {

void install_glyph_dialogs(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link) {
    (void)window;
    (void)tool;
    (void)notices;
    (void)link;
}

}  // namespace tvx
