#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "protocol/command_link.h"

namespace tvx::testing {

// A link that keeps every line it is asked to send.
class RecordingLink : public CommandLink {
  public:
    void send_command(std::string_view line) override { lines.emplace_back(line); }
    bool tcp_is_connected() const override { return connected; }

    std::vector<std::string> lines;
    bool connected = true;
};

}  // namespace tvx::testing
