#pragma once

#include <functional>
#include <string_view>

namespace tvx {

// kNote is not traffic but a remark of the link's own about its line (UTF-8 text), kept in the same
// order as the traffic.
enum class TrafficDirection { kSent, kReceived, kNote };

// Told of every piece of traffic a link puts on or takes off the line: the direction, which link it
// went over (port and RS-485 address, or TCP peer) and the bytes as they are. For the communication log.
using TrafficObserver =
    std::function<void(TrafficDirection direction, std::string_view link, std::string_view bytes)>;

}  // namespace tvx
