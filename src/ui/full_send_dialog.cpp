#include "ui/full_send_dialog.h"

#include "editors/full_send_controller.h"

namespace tvx {

UnitSequenceDialog* make_full_send_dialog(ToolState& tool, CommandLink& link, Notices& notices,
                                          const std::string& selected_address, QWidget* owner) {
    return new UnitSequenceDialog(make_full_send_controller(tool, link, notices), selected_address, owner);
}

}  // namespace tvx
