#include "protocol/read_back_sequence.h"

#include <array>

#include "protocol/command_builders.h"
#include "protocol/command_senders.h"

namespace tvx {
namespace {

// Steps 96 to 119.
constexpr std::array<std::string_view, 24> kSettingReads{
    "RACA", "RAD",  "RADT", "RAM",  "RAP",   "RAR", "RCABC", "RCBS",  "RCFS",  "RCI",   "RCWL",  "RFB",
    "RIDO", "RIDP", "RISS", "RPAS", "RPOSP", "RRM", "RTSD",  "RTSDR", "RTSDS", "RVLBC", "RVLBC", "RVN",
};
constexpr int kFirstScheduleStep = kPageCount + 1;
constexpr int kFirstSettingStep = kFirstScheduleStep + kScheduleDays;
static_assert(kFirstSettingStep + static_cast<int>(kSettingReads.size()) - 1 == kReadBackSteps);

}  // namespace

std::string read_back_command(int step) {
    if (step < 1 || step > kReadBackSteps) return {};
    if (step < kFirstScheduleStep) return build_title_read(step - 1);
    if (step < kFirstSettingStep) return build_schedule_read(step - kFirstScheduleStep);
    return build_read_command(kSettingReads[static_cast<std::size_t>(step - kFirstSettingStep)]);
}

bool ReadBackSequence::can_start() {
    const int address = tool_.model.run.slave_address;
    if (tool_.config.link_interface == 0 && tool_.config.rs_control == 1 &&
        (address < 0 || address >= kBroadcastAddress)) {
        notices_.notify_error(kReadBackNeedsAddress);
        return false;
    }
    if (!notices_.confirm_not_auto_switching()) return false;
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    return true;
}

bool ReadBackSequence::send_step(int step) {
    link_.send_command(read_back_command(step));
    return true;
}

}  // namespace tvx
