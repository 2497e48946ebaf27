#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/reply_handler.h"
#include "protocol/serial_framing.h"
#include "unit/virtual_unit.h"

namespace tvx::testing {

// A virtual unit reached in-process as over the serial line: each command is framed by the current
// RS-485 settings, the unit's answers go straight into the serial reply handling, and a detached unit
// answers nothing (the reply stays expected, as on a line with no unit).
class InProcessUnitLink : public CommandLink {
  public:
    InProcessUnitLink(ToolState& tool, Notices& notices, VirtualUnit& unit)
        : tool_(tool), notices_(notices), unit_(unit) {}

    void send_command(std::string_view line) override {
        lines.emplace_back(line);
        const SerialFrame frame =
            frame_serial_line(line, tool_.config.rs_control, tool_.model.run.slave_address);
        framed.push_back(frame.bytes);
        tool_.link.reply_expected = frame.reply_expected ? 1 : 0;
        if (!attached) return;
        for (const std::string& answer : unit_.receive(frame.bytes))
            handle_serial_reply(tool_, notices_, answer);
    }
    bool tcp_is_connected() const override { return connected; }

    std::vector<std::string> lines;   // as sent by the tool
    std::vector<std::string> framed;  // as they went on the line
    bool attached = true;
    bool connected = true;

  private:
    ToolState& tool_;
    Notices& notices_;
    VirtualUnit& unit_;
};

}  // namespace tvx::testing
