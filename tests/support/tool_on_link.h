#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "model/tool_state.h"
#include "protocol/link_tick.h"
#include "protocol/paced_sequence.h"
#include "support/recording_notices.h"
#include "unit/unit_event_loop.h"

namespace tvx::testing {

// The tool on one real link, serial or TCP client, with sequences driven as their dialogs drive them:
// a tick, then the main window's link tick once the unit has answered (or, when no answer is due, at
// once).
class ToolOnLink {
  public:
    ToolOnLink() : dispatch(tool, notices) {}

    void use_serial(const std::string& device, int rs_control = 0, int slave_address = 0) {
        tool.config.link_interface = 0;
        tool.config.rs_control = rs_control;
        tool.model.run.slave_address = slave_address;
        serial = std::make_unique<SerialLink>(tool, notices);
        serial->open_serial_port(device);
        dispatch.set_serial(serial.get());
    }

    bool use_tcp(quint16 port) {
        tool.config.link_interface = 1;
        tool.config.client_server = 0;
        tool.config.list_count = 1;
        tool.config.select_number = 0;
        tool.config.host_list[0] = {127, 0, 0, 1};
        tool.model.network.port_number = std::to_string(port);
        tcp = std::make_unique<TcpLink>(tool, notices);
        dispatch.set_tcp(tcp.get());
        const bool connected = tcp->tcp_connect() == 1 && run_until([this] { return tcp->tcp_connected(); });
        notices.clear();  // the connection's own notice
        return connected;
    }

    // Until the answers due have come (or the deadline has passed).
    void await_answers(std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
        run_until([this] { return tool.link.reply_expected == 0 && tool.link.tcp_answer_pending == 0; },
                  deadline);
    }

    // One tick of the sequence and what follows it before the next.
    PacedSequence::State step(PacedSequence& seq, bool wait_for_answers = true) {
        const PacedSequence::State state = seq.tick();
        if (wait_for_answers) await_answers();
        link_tick(tool.link, notices);
        return state;
    }

    PacedSequence::State drive(PacedSequence& seq, bool wait_for_answers = true) {
        if (!seq.start()) return seq.state();
        // On the serial line the tick of the last step completes the sequence; its answer comes after.
        while (step(seq, wait_for_answers) == PacedSequence::State::kRunning) {
        }
        return seq.state();
    }

    ToolState tool;
    RecordingNotices notices;
    LinkDispatch dispatch;
    std::unique_ptr<SerialLink> serial;
    std::unique_ptr<TcpLink> tcp;
};

}  // namespace tvx::testing
