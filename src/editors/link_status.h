#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/tool_state.h"

namespace tvx {

// The link as the status bar tells it, taken from the links at each tick of the main window.
struct LinkSnapshot {
    enum class Kind { kSerial, kTcpClient, kTcpServer };
    Kind kind = Kind::kSerial;
    // Serial: "COM1" and the device opened for it; open, or gone and awaited back.
    std::string port;
    std::string device;
    bool open = false;
    bool awaiting_device = false;
    int rs_control = 0;  // 0 RS-232C, 1 RS-485
    int slave_address = 0;
    // TCP: the chosen host (client), the port, and the state of the one socket or the server.
    std::string host;
    std::string tcp_port;
    bool connected = false;
    bool listening = false;
    int clients = 0;

    bool operator==(const LinkSnapshot&) const = default;
};

// The serial fields and the TCP role from the configuration; the caller adds what only the links know.
LinkSnapshot configured_link(const ToolState& tool);

// "COM1 /dev/ttyUSB0 38400 8E1 RS-485 05", "TCP 192.168.1.20:9004 接続中", "サーバー :9004 12 台接続".
std::string link_status_text(const LinkSnapshot& link);

// Follows the link from snapshot to snapshot and tells the moments that matter as they happen: a port
// that went or came back, a connection made or lost, a server started or stopped. Nothing for the first
// snapshot, for one like the last, or for a change of choice (another port, host or role), which is
// the operator's own doing.
class LinkStatusWatch {
  public:
    std::optional<std::string> update(const LinkSnapshot& link);

  private:
    std::optional<LinkSnapshot> last_;
};

// A notice as the status bar's last result: "Error: No Connect"; only its first line, since the cell
// has one.
std::string result_text(std::string_view title, std::string_view text);

// "unit5.dat *" while modified, "unit5.dat" once saved; "(無題)" before the document has a file.
std::string document_status_text(const std::string& path, bool modified);

}  // namespace tvx
