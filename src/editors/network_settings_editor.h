#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/command_set.h"
#include "protocol/network_read_sequence.h"

namespace tvx {

// The three-digit dotted text of an address: "192.168.001.003".
std::string dotted_address(const IPv4Octets& octets);

// "プロトコル": the unit's own network settings, each with its set button, and their read-back.
class NetworkSettingsEditor {
  public:
    enum class Choice { kSubnetMask, kConnectionTry, kKeepAlive, kTimeRegister };
    // What one tick of the read did, for the view to follow.
    enum class Tick { kIdle, kSent, kWaiting, kStopped, kCompleted };
    static constexpr std::string_view kCaption = "プロトコル";
    static constexpr std::string_view kTitleText = "プロトコルの設定 ";
    static constexpr std::size_t kPortLength = 5;

    NetworkSettingsEditor(ToolState& tool, CommandLink& link, Notices& notices)
        : tool_(tool), link_(link), notices_(notices), sequence_(tool, link, notices) {}

    std::string window_title(std::string_view selected_address) const;

    static std::string_view caption(AddressCommand address);
    const IPv4Octets& address(AddressCommand address) const;
    std::string address_text(AddressCommand address) const { return dotted_address(this->address(address)); }
    // The field's text into the model, then the address command from the model. A text that is not a
    // whole address of octets 0 to 255 is refused with a notice: nothing is stored or sent.
    bool send_address(AddressCommand address, std::string_view field_text);

    static std::string_view caption(Choice choice);
    static std::vector<std::string> items(Choice choice);
    int selection(Choice choice) const;
    void select(Choice choice, int index);
    void send(Choice choice);

    // The port number is also the tool's own TCP port: every edit takes effect at once.
    const std::string& port_text() const { return tool_.model.network.port_number; }
    void set_port_text(std::string_view text);
    // "EPN"; a text that is not one to five digits is refused with a notice.
    bool send_port();

    const std::string& mac_text() const { return tool_.model.network.mac_address; }
    const std::string& version_text() const { return tool_.model.network.version_number; }

    // "読み込み": the ten reads, one per tick. False when it did not start (already running, or no
    // unit can answer a broadcast).
    bool start_read();
    Tick tick();
    bool reading() const { return sequence_.running(); }
    // Close comes back once the last read is out; closing then, or at any time, ends the read.
    bool close_enabled() const { return !reading() || sequence_.steps_sent() >= kNetworkReadSteps - 1; }
    int progress() const { return reading() ? sequence_.steps_sent() : 0; }
    void close_editor() { sequence_.cancel(); }

  private:
    int& field(Choice choice);
    int field(Choice choice) const;

    ToolState& tool_;
    CommandLink& link_;
    Notices& notices_;
    NetworkReadSequence sequence_;
};

}  // namespace tvx
