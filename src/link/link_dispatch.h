#pragma once

#include <string_view>

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// The serial side of send_command: frames (RS-485 address or broadcast prefix) and writes one line.
class SerialSender {
public:
    virtual ~SerialSender() = default;
    virtual void serial_send(std::string_view line) = 0;
};

// The TCP side of send_command: sends to the connected unit or the selected client and waits for
// the answer without blocking the event loop.
class TcpSender {
public:
    virtual ~TcpSender() = default;
    virtual void tcp_send(std::string_view line) = 0;
    virtual bool tcp_connected() const = 0;
};

// send_command: hands each command line to the serial link or the TCP link by the configured interface.
class LinkDispatch : public CommandLink {
public:
    LinkDispatch(ToolState& tool, Notices& notices) : tool_(tool), notices_(notices) {}

    void set_serial(SerialSender* serial) { serial_ = serial; }
    void set_tcp(TcpSender* tcp) { tcp_ = tcp; }

    void send_command(std::string_view line) override;
    bool tcp_is_connected() const override;

private:
    ToolState& tool_;
    Notices& notices_;
    SerialSender* serial_ = nullptr;
    TcpSender* tcp_ = nullptr;
};

}  // namespace tvx
