#include "link/link_dispatch.h"

namespace tvx {

void LinkDispatch::send_command(std::string_view line) {
    if (tool_.config.link_interface == 1) {
        if (tcp_) {
            tcp_->tcp_send(line);
        } else {
            tool_.link.link_lost = 1;
            notices_.notify_warning("Socket が接続されていません");
        }
        return;
    }
    if (serial_) {
        serial_->serial_send(line);
    } else {
        // No port was opened (the tool started on TCP/IP): the line goes nowhere and the reply
        // time-out reports it, as for a port that failed to open; a sequence stops at once.
        tool_.link.reply_expected = 1;
        tool_.link.link_lost = 1;
    }
}

bool LinkDispatch::tcp_is_connected() const {
    return tool_.config.link_interface == 0 || (tcp_ && tcp_->tcp_connected());
}

}  // namespace tvx
