#include "protocol/title_send_sequence.h"

#include "protocol/command_senders.h"
#include "protocol/read_back_sequence.h"
#include "protocol/title_encoding.h"

namespace tvx {

std::string TitleSendSequence::step_name(int step) const {
    return read_step_name(read_back_step(step));
}

bool TitleSendSequence::can_start() {
    if (!notices_.confirm_not_auto_switching()) return false;
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    refused_page_ = -1;
    return true;
}

bool TitleSendSequence::send_step(int step) {
    if (send_title(tool_.model, link_, step - 1)) return true;
    refused_page_ = step - 1;
    notices_.notify_warning(kTitleRefused);
    return false;
}

bool send_page_title(ToolState& tool, CommandLink& link, Notices& notices, int page) {
    if (tool.model.run.batch_step != 0 || tool.glyphs.bank_sequence_active != 0) return false;
    if (send_title(tool.model, link, page)) return true;
    notices.notify_warning(kTitleRefused);
    return false;
}

}  // namespace tvx
