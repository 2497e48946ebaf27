#pragma once

#include <string_view>

#include "config/notices.h"
#include "model/tool_state.h"

namespace tvx {

// One reply line from the serial line, CR LF included, as the line assembly hands it over. Clears the
// reply time-out, drops the answering unit's address on RS-485, then classifies and handles the line.
void handle_serial_reply(ToolState& tool, Notices& notices, std::string_view line);

// One piece of text received over TCP, as it arrives. Pieces are collected in tool.reply until a line's
// LF has come; every complete line is then handled once, in order. A line that grows past
// ReplyState::kTcpAccumulationLimit without LF is dropped up to its LF (handle_unreadable_reply), and the
// line after it is handled normally. An empty piece handles nothing.
void handle_tcp_reply(ToolState& tool, Notices& notices, std::string_view chunk);

// A line too long to read came where an answer was due: it answers, but with nothing the tool can use.
void handle_unreadable_reply(ToolState& tool);

}  // namespace tvx
