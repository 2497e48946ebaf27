#include "protocol/network_read_sequence.h"

#include "protocol/read_back_sequence.h"

namespace tvx {
namespace {

// The captions of the settings in the "プロトコル" editor, in the order of the reads.
constexpr std::array<std::string_view, 10> kNetworkCaptions{
    "Active Address", "Gateway Address", "IP Address",    "Connection Try", "Keep Alive",
    "Port Number",    "Subnet Mask",     "Time Register", "MAC Address",    "Version Number"};

}  // namespace

ReadStep network_read_step(int read) {
    if (read < 1 || read > static_cast<int>(kNetworkReads.size())) return {};
    const auto at = static_cast<std::size_t>(read - 1);
    return setting_read_step(kNetworkReads[at], "プロトコル", kNetworkCaptions[at]);
}

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
    // The last tick sends nothing and leaves the last answer time to come; the run's end takes it.
    if (step <= static_cast<int>(kNetworkReads.size())) {
        record_.sent(tool_, step);
        link_.send_command(network_read_step(step).command);
    }
    return true;
}

void NetworkReadSequence::finished(State state) {
    record_.ended(tool_);
    if (state == State::kCompleted) tell_read_end(record_, tool_, notices_);
}

}  // namespace tvx
