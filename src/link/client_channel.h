#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "link/tcp_link.h"
#include "link/unit_channel.h"
#include "protocol/line_assembler.h"

namespace tvx {

// One unit connected to the server, in a session of its own: its lines go straight to its connection,
// and what it sends comes to this channel (and this session's tool state) instead of the link's reply
// handling. Bound to the connection, not the table entry: once the unit goes, a unit that takes the
// same entry later is never written to.
class ClientChannel : public UnitChannel, public ClientReceiver {
    Q_OBJECT

  public:
    static constexpr int kDrainLimitMs = 3000;

    ClientChannel(ToolState& tool, Notices& notices, TcpLink& link, int index, QObject* parent = nullptr);
    ~ClientChannel() override;

    int index() const { return index_; }
    std::uint64_t connection() const { return connection_; }
    // "192.168.0.7:50123": units behind one address are told apart by their port.
    static std::string label_of(const TcpClientEntry& entry);

    void open() override;
    std::string label() const override { return label_; }
    bool tcp_is_connected() const override;
    void drain(std::function<void(bool)> done) override;
    void close() override;

    void bytes_received(std::string_view bytes) override;
    void connection_gone() override;

  protected:
    bool write_line(std::string_view line) override;
    void handle_line(std::string_view line) override;
    std::string_view no_answer_notice() const override;

  private:
    void drain_check();

    TcpLink& link_;
    int index_;
    std::uint64_t connection_;
    std::string label_;
    bool attached_ = false;
    bool gone_ = false;
    LineAssembler lines_{ReplyState::kTcpAccumulationLimit};
    QTimer drain_timer_;
    int drain_waited_ms_ = 0;
    std::function<void(bool)> drained_;
};

}  // namespace tvx
