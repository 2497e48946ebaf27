#include "protocol/network_read_sequence.h"

#include "protocol/command_builders.h"
#include "protocol/read_back_sequence.h"

namespace tvx {

bool NetworkReadSequence::can_start() {
    const int address = tool_.model.run.slave_address;
    if (tool_.config.link_interface == 0 && tool_.config.rs_control == 1 &&
        (address < 0 || address >= kBroadcastAddress)) {
        notices_.notify_error(kReadBackNeedsAddress);
        return false;
    }
    return true;
}

bool NetworkReadSequence::send_step(int step) {
    if (step <= static_cast<int>(kNetworkReads.size())) {
        link_.send_command(build_read_command(kNetworkReads[static_cast<std::size_t>(step - 1)]));
    }
    return true;
}

}  // namespace tvx
