#pragma once

#include <array>
#include <cstdint>
#include <string>

class QTcpSocket;

namespace tvx {

// Entry 0 is reserved (marked in use when the table is reset); accepted units take entries 1 to 96.
inline constexpr int kClientTableSize = 97;
inline constexpr int kMaxClients = kClientTableSize - 1;

struct TcpClientEntry {
    int in_use = 0;
    QTcpSocket* socket = nullptr;  // null when free
    std::string address;           // dotted IPv4 address; a single space once the unit has gone
    // Which accepted connection the entry holds: a unit that later takes the same entry gets a new id,
    // so commands meant for the one that left never reach it.
    std::uint64_t connection_id = 0;
    // What the operator needs to tell units apart when several share an address (a gateway, units behind
    // one router): the peer's port, when the unit connected, and how the last command to it went.
    int port = 0;
    std::int64_t connected_at_ms = 0;  // milliseconds since the epoch, local clock
    std::string last_result;
};

using ClientTable = std::array<TcpClientEntry, kClientTableSize>;

}  // namespace tvx
