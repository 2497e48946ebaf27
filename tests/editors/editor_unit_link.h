#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/reply_handler.h"
#include "unit/virtual_unit.h"

namespace tvx::testing {

// The setting editors talking to a virtual unit in-process, as over an RS-232C line: every answer goes
// straight into the serial reply handling, so model changes from read answers and error flags happen
// as they would on a real line.
class EditorUnitLink : public CommandLink {
  public:
    EditorUnitLink(ToolState& tool, Notices& notices) : tool_(tool), notices_(notices) {}

    void send_command(std::string_view line) override {
        lines.emplace_back(line);
        tool_.link.reply_expected = 1;
        for (const std::string& answer : unit.receive(line)) handle_serial_reply(tool_, notices_, answer);
    }
    bool tcp_is_connected() const override { return connected; }

    VirtualUnit unit;
    std::vector<std::string> lines;
    bool connected = true;

  private:
    ToolState& tool_;
    Notices& notices_;
};

}  // namespace tvx::testing
