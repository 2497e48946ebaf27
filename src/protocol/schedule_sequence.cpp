#include "protocol/schedule_sequence.h"

#include "protocol/command_builders.h"
#include "protocol/command_senders.h"
#include "protocol/read_back_sequence.h"

namespace tvx {

std::string ScheduleSequence::step_name(int step) const {
    return read_step_name(read_back_step(kPageCount + step));
}

bool ScheduleSequence::can_start() {
    if (!notices_.confirm_not_auto_switching()) return false;
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    return true;
}

bool ScheduleSequence::send_step(int step) {
    link_.send_command(build_schedule_day(tool_.model, step - 1));
    return true;
}

}  // namespace tvx
