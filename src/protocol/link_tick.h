#pragma once

#include "config/notices.h"
#include "model/link_flags.h"

namespace tvx {

// Ticks after a serial send before "No Connect": the count starts at 0 and the notice comes on the
// tick that finds it above 25, the 27th, about 2.7 s at 100 ms a tick.
inline constexpr int kReplyTimeoutTicks = 25;

// The main window's 100 ms tick: the serial reply time-out and the deferred "Success" notice.
void link_tick(LinkFlags& link, Notices& notices);

}  // namespace tvx
