#include "protocol/link_tick.h"

namespace tvx {

void link_tick(LinkFlags& link, Notices& notices) {
    if (link.reply_expected == 1) {
        const int counted = link.reply_timeout_ticks++;
        if (counted > kReplyTimeoutTicks) {
            link.reply_expected = 0;
            link.reply_timeout_ticks = 0;
            // A sequence stops on it, even if the answer turns up later after all.
            link.reply_missed = 1;
            notices.notify_error("No Connect");
        }
    }
    if (link.success_pending == 1) {
        link.success_pending = 0;
        notices.notify_success("Success");
    }
}

}  // namespace tvx
