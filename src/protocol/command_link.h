#pragma once

#include <string_view>

namespace tvx {

// What the protocol needs of a link: send one command line (already ended by CR LF), and whether a
// TCP connection is there to send on (always true on the serial line).
class CommandLink {
public:
    virtual ~CommandLink() = default;
    virtual void send_command(std::string_view line) = 0;
    virtual bool tcp_is_connected() const = 0;
};

}  // namespace tvx
