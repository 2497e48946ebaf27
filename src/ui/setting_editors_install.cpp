#include "ui/setting_editors_install.h"

#include "app/main_window.h"

namespace tvx {

void install_setting_editors(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& link) {
    (void)window;
    (void)tool;
    (void)notices;
    (void)link;
}

}  // namespace tvx
