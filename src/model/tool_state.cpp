#include "model/tool_state.h"

namespace tvx {

void reset_settings(ToolState& tool) {
    tool.link.reply_expected = 0;
    tool.link.reply_timeout_ticks = 0;
    tool.link.success_pending = 0;
    tool.link.error_reply = 0;
    reset_settings(tool.model);
    reset_glyphs(tool.glyphs);
    tool.reply.tcp_line = LineBuffer{};
}

}  // namespace tvx
