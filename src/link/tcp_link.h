#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "link/answer_tracker.h"
#include "link/client_table.h"
#include "link/link_dispatch.h"
#include "link/traffic_observer.h"
#include "model/tool_state.h"
#include "protocol/line_assembler.h"

class QTcpServer;
class QTcpSocket;

namespace tvx {

// A session of its own on one accepted unit (the fleet's sends): while attached, everything the unit sends
// goes to it instead of the link's reply handling, and it is told when the unit goes.
class ClientReceiver {
  public:
    virtual ~ClientReceiver() = default;
    virtual void bytes_received(std::string_view bytes) = 0;
    virtual void connection_gone() = 0;
};

// The TCP port text of the configuration as a port number: 1 to 5 decimal digits giving 1..65535.
std::optional<std::uint16_t> parse_tcp_port(std::string_view text);

// The TCP link in both roles: as client of the unit chosen from the host list, or as server that up to
// 96 units connect to, with commands going to the one the operator picked.
//
// Everything is event driven on the GUI thread: connecting, accepting, noticing closed connections and
// receiving answers happen through socket signals whichever window is open; dialogs only observe the
// state through the signals below. Received bytes are joined into lines by the one line assembler, and
// the answers due are kept by the one answer tracker: after each send an answer is due, bounded by the
// tracker's time-out, and while it is due answer_pending() is true so that paced sequences send nothing.
// An answer given up as missing that turns up after all, within kLateAnswerMs and before the next command
// goes out, is logged and dropped: it cannot undo the failure, and a sequence, stopped by it, sends
// nothing for it to pass as the answer to.
class TcpLink : public QObject, public TcpSender {
    Q_OBJECT

  public:
    // Receives every whole line read from the socket that commands go to, in order: handle_tcp_reply
    // unless a test plugs in another.
    using ReplyHandler = std::function<void(ToolState&, Notices&, std::string_view chunk)>;

    static constexpr int kAnswerTimeoutMs = AnswerTracker::kTimeoutMs;
    static constexpr int kLateAnswerMs = AnswerTracker::kLateWindowMs;
    static constexpr int kReceiveChunk = 1024;
    // What a socket takes in before the link has read it; beyond it the peer waits (TCP flow control).
    // The link reads as it goes, but a notice box's event loop can hold it up for as long as it is open.
    static constexpr qint64 kReadBufferLimit = 64 * 1024;
    // Connections the system holds for the server to take: a burst of units larger than the table still
    // reaches the link, which takes or turns away each at once instead of leaving some hanging.
    static constexpr int kListenBacklog = 256;

    TcpLink(ToolState& tool, Notices& notices, QObject* parent = nullptr);
    ~TcpLink() override;

    void set_reply_handler(ReplyHandler handler);
    void set_answer_timeout_ms(int ms) { answers_.set_timeout_ms(ms); }
    void set_late_answer_ms(int ms) { answers_.set_late_window_ms(ms); }
    // Answers given up as missing whose lines are still expected, to be dropped when they come.
    int late_answers_owed() const { return answers_.late_answers(); }
    // Told of every line sent and every line handed to the reply handling, with the peer's address.
    void set_traffic_observer(TrafficObserver observer) { observer_ = std::move(observer); }

    // Client role: connects to host select_number on port_number. 1 when the connection is made or
    // under way (the outcome is reported later), 0 when refused at once.
    int tcp_connect();
    // Server role: listens on port_number. 1 when listening (also when it already was).
    int tcp_start_server();
    // Closes the listening or client socket and every accepted unit, then resets the table.
    void tcp_stop();
    // Closes one socket and frees its table entry.
    void tcp_close_socket(QTcpSocket* socket);
    void tcp_reset_table();

    void tcp_send(std::string_view line) override;
    bool tcp_connected() const override { return tcp_connected_ == 1; }
    // True on the serial interface, otherwise while a connection is marked connected.
    bool tcp_is_connected() const;
    // Whether the client role's socket is up now: the unit may have closed its end while the tool's
    // connection flag still says connected (it is cleared by 切断, as the operator left it).
    bool client_socket_open() const;
    void set_tcp_connected(int value);

    // Server role: commands go to the unit now in entry index. False (nothing changes) when the entry
    // is outside 1..96 or free.
    bool tcp_select_client(int index);
    // Server role: the unit picked by tcp_select_client is still in its entry.
    bool selected_client_present() const;

    // Server role: the units the operator has chosen (one by tcp_select_client, several or all for the
    // commands that go to many). Kept by connection, so a unit that leaves drops out of the choice and one
    // that later takes its entry is not in it. Choosing several selects the first of them for the commands
    // that go to one unit. False (nothing changes) when none of indexes is in use.
    bool choose_clients(const std::vector<int>& indexes);
    // The chosen units still connected, in table order.
    std::vector<int> chosen_clients() const;
    bool is_chosen(int index) const;

    // Server role, for a session of its own on an entry: the entry's connection now (0 when free), a line
    // written straight to it (false when that connection has gone or the write failed), and the routing of
    // what it sends. A receiver is detached when its unit goes, after connection_gone().
    std::uint64_t connection_of(int index) const;
    bool write_to(std::uint64_t connection, std::string_view line);
    qint64 bytes_to_write(std::uint64_t connection) const;
    void attach(std::uint64_t connection, ClientReceiver* receiver);
    void detach(std::uint64_t connection);
    // How the last command to a unit went, for the client list.
    void set_last_result(std::uint64_t connection, std::string text);

    const ClientTable& client_table() const { return client_table_; }
    int clients_in_use() const;
    // The one socket of the role (the client socket, or the listening server); null when none.
    const QObject* main_socket() const;
    bool is_listening() const;
    bool answer_pending() const { return answers_.due(); }

  signals:
    void clients_changed();          // a unit was accepted or left, or the table was reset
    void connected_changed();        // tcp_connected, the client socket or the listening state changed
    void reply_received(int index);  // a line went to the reply handling (index: table entry, 0 client)

  private:
    void on_client_connected();
    void on_socket_error(QTcpSocket* socket, int error);
    void on_new_connection();
    void read_from(QTcpSocket* socket);
    void line_received(const QTcpSocket* socket, const std::string& line);
    void unreadable_line_received(const QTcpSocket* socket);
    void answer_missing();

    QTcpSocket* target_socket() const;
    int table_index(const QTcpSocket* socket) const;
    int index_of_connection(std::uint64_t connection) const;
    ClientReceiver* receiver_of(const QTcpSocket* socket) const;
    void watch_socket(QTcpSocket* socket);
    void discard_socket(QTcpSocket* socket);
    void drop_client_socket();
    void drop_server();
    void show_link_box(std::string_view text);
    void observe(TrafficDirection direction, const QTcpSocket* socket, std::string_view bytes) const;

    ToolState& tool_;
    Notices& notices_;
    ReplyHandler reply_handler_;
    TrafficObserver observer_;
    QTcpSocket* client_socket_ = nullptr;
    QTcpServer* server_ = nullptr;
    ClientTable client_table_{};
    int tcp_connected_ = 0;
    std::uint64_t next_connection_id_ = 0;
    std::uint64_t selected_connection_ = 0;  // connection_id of the unit the operator picked
    std::vector<std::uint64_t> chosen_;      // connection_ids of the units chosen, in the order chosen
    std::map<std::uint64_t, ClientReceiver*> receivers_;
    AnswerTracker answers_;
    LineAssembler lines_{ReplyState::kTcpAccumulationLimit};
};

}  // namespace tvx
