#include "protocol/reply_handler.h"

namespace tvx {

void handle_serial_reply(ToolState& tool, Notices& notices, std::string_view line) {
    tool.link.reply_expected = 0;
    tool.link.reply_timeout_ticks = 0;
    if (tool.config.rs_control == 1) line.remove_prefix(std::min<std::size_t>(2, line.size()));
    tool.link.error_reply = 0;

    const auto error = [&](std::string_view text) {
        tool.link.error_reply = 1;
        notices.notify_error(text);
    };
    if (line == "GO\r\n") {
        if (tool.model.run.batch_step == 0 && tool.glyphs.bank_sequence_active == 0) tool.link.success_pending = 1;
    } else if (line == "MENU\r\n") {
        error("Menu Display");
    } else if (line == "GN\r\n") {
        if (tool.model.run.batch_step == 0) notices.notify_error("Mode Difference");
    } else if (line == "E0\r\n") {
        error("Framing Error");
    } else if (line == "E1\r\n") {
        error("Parity Error");
    } else if (line == "E2\r\n") {
        error("Over Run Error");
    } else if (line == "E3\r\n") {
        error("Command Error");
    }
    tool.glyphs.glyph_reply_pending = 0;
}

}  // namespace tvx
