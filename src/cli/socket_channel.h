#pragma once

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <string>

#include "link/unit_channel.h"
#include "link/traffic_observer.h"
#include "protocol/line_assembler.h"

namespace tvx {

// The far end of a connection a unit made: its address (an IPv4 address without the IPv6 wrapping) and
// port.
void peer_of(const QTcpSocket& socket, std::string& host, int& port);

// One unit over TCP: either a connection this program makes (client role) or one a unit made to it
// (server role). Every answer line, however it was split, goes whole to the TCP reply handling.
class SocketChannel : public UnitChannel {
    Q_OBJECT

  public:
    // Client role: connects on open(), bounded by the connect time-out.
    SocketChannel(ToolState& tool, Notices& notices, std::string host, quint16 port,
                  QObject* parent = nullptr);
    // Server role: a connection already made; the channel takes it over.
    SocketChannel(ToolState& tool, Notices& notices, QTcpSocket* accepted, QObject* parent = nullptr);
    ~SocketChannel() override;

    void set_connect_timeout_ms(int ms) { connect_timer_.setInterval(ms); }
    // Told of every line written and every whole line received, for the communication log.
    void set_traffic_observer(TrafficObserver observer) { observer_ = std::move(observer); }

    void open() override;
    std::string label() const override { return label_; }
    bool tcp_is_connected() const override;
    void drain(std::function<void(bool)> done) override;
    void close() override;

  protected:
    bool write_line(std::string_view line) override;
    void handle_line(std::string_view line) override;
    std::string_view no_answer_notice() const override;

  private:
    void watch();
    void on_ready_read();
    void on_disconnected();
    void on_error(QAbstractSocket::SocketError error);
    void connect_missing();
    void give_up_opening(const std::string& why);

    QPointer<QTcpSocket> socket_;
    std::string host_;
    quint16 port_ = 0;
    std::string label_;
    bool opening_ = false;
    bool gone_ = false;
    LineAssembler lines_{ReplyState::kTcpAccumulationLimit};
    QTimer connect_timer_;
    QTimer drain_timer_;
    std::function<void(bool)> drained_;
    TrafficObserver observer_;
};

}  // namespace tvx
