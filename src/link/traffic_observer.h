#pragma once

#include <functional>
#include <string_view>

namespace tvx {

enum class TrafficDirection { kSent, kReceived };

// Told of every piece of traffic a link puts on or takes off the line: the direction, which link it
// went over (port and RS-485 address, or TCP peer) and the bytes as they are. For the communication log.
using TrafficObserver =
    std::function<void(TrafficDirection direction, std::string_view link, std::string_view bytes)>;

}  // namespace tvx
