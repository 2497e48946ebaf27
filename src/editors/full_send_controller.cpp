#include "editors/full_send_controller.h"

#include "protocol/full_send_sequence.h"

namespace tvx {

std::unique_ptr<UnitSequenceController> make_full_send_controller(ToolState& tool, CommandLink& link,
                                                                  Notices& notices) {
    return std::make_unique<UnitSequenceController>(
        tool, std::make_unique<FullSendSequence>(tool, link, notices),
        UnitSequenceController::Definition{kFullSendCaption, "設定", true, kFullSendProgressRange,
                                           kFullSendTickMs, "   "});
}

}  // namespace tvx
