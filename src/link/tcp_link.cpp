#include "link/tcp_link.h"

#include <QDateTime>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <string>

#include "protocol/reply_handler.h"

namespace tvx {
namespace {

constexpr char kBoxTitle[] = "TVX-230";
constexpr char kSocketEventError[] = "ソケットイベントにエラーが発生しました。";
constexpr char kNoAnswer[] = "Answer が､きません";
constexpr char kSendFailed[] = "Socket 送信";

std::string dotted(const QHostAddress& address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    if (!ok) return address.toString().left(15).toStdString();
    return QHostAddress(v4).toString().toStdString();
}

std::string with_code(std::string_view text, int code) {
    return std::string(text) + "[" + std::to_string(code) + "]";
}

}  // namespace

std::optional<std::uint16_t> parse_tcp_port(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

TcpLink::TcpLink(ToolState& tool, Notices& notices, QObject* parent)
    : QObject(parent), tool_(tool), notices_(notices), reply_handler_(handle_tcp_reply), answers_(tool.link) {
    connect(&answers_, &AnswerTracker::missing, this, &TcpLink::answer_missing);
    tcp_reset_table();
}

TcpLink::~TcpLink() {
    // Quietly: no notice and no signal may come from a link that is going away.
    answers_.disconnect(this);
    answers_.reset();
    drop_client_socket();
    drop_server();
    for (TcpClientEntry& entry : client_table_) {
        if (entry.socket) discard_socket(entry.socket);
        entry.socket = nullptr;
    }
}

void TcpLink::set_reply_handler(ReplyHandler handler) {
    reply_handler_ = handler ? std::move(handler) : ReplyHandler(handle_tcp_reply);
}

// ---- table and state ----

void TcpLink::tcp_reset_table() {
    for (int i = 0; i < kClientTableSize; ++i) {
        TcpClientEntry& entry = client_table_[i];
        if (entry.socket) discard_socket(entry.socket);
        entry = TcpClientEntry{};
    }
    client_table_[0].in_use = 1;
    selected_connection_ = 0;
    chosen_.clear();
    receivers_.clear();
    tcp_connected_ = 0;
}

void TcpLink::set_tcp_connected(int value) {
    const int normalised = value ? 1 : 0;
    if (normalised == tcp_connected_) return;
    tcp_connected_ = normalised;
    emit connected_changed();
}

bool TcpLink::tcp_is_connected() const {
    return tool_.config.link_interface == 0 || tcp_connected_ == 1;
}

bool TcpLink::client_socket_open() const {
    return client_socket_ && client_socket_->state() == QAbstractSocket::ConnectedState;
}

int TcpLink::clients_in_use() const {
    return static_cast<int>(std::count_if(client_table_.begin() + 1, client_table_.end(),
                                          [](const TcpClientEntry& e) { return e.in_use == 1; }));
}

const QObject* TcpLink::main_socket() const {
    if (client_socket_) return client_socket_;
    if (server_ && server_->isListening()) return server_;
    return nullptr;
}

bool TcpLink::is_listening() const {
    return server_ && server_->isListening();
}

bool TcpLink::tcp_select_client(int index) {
    if (index < 1 || index > kMaxClients || client_table_[index].in_use != 1) return false;
    tool_.config.select_number = index;
    selected_connection_ = client_table_[index].connection_id;
    chosen_.assign(1, selected_connection_);
    // What came of another unit's line is not the beginning of this one's, nor is its answer due.
    lines_.clear();
    answers_.reset();
    set_tcp_connected(1);
    return true;
}

bool TcpLink::selected_client_present() const {
    const int index = tool_.config.select_number;
    if (index < 1 || index > kMaxClients || selected_connection_ == 0) return false;
    const TcpClientEntry& entry = client_table_[index];
    return entry.in_use == 1 && entry.connection_id == selected_connection_;
}

bool TcpLink::choose_clients(const std::vector<int>& indexes) {
    std::vector<std::uint64_t> chosen;
    int first = 0;
    for (const int index : indexes) {
        if (index < 1 || index > kMaxClients || client_table_[index].in_use != 1) continue;
        const std::uint64_t id = client_table_[index].connection_id;
        if (std::find(chosen.begin(), chosen.end(), id) != chosen.end()) continue;
        if (first == 0 || index < first) first = index;
        chosen.push_back(id);
    }
    if (chosen.empty()) return false;
    tcp_select_client(first);
    chosen_ = std::move(chosen);
    emit clients_changed();
    return true;
}

std::vector<int> TcpLink::chosen_clients() const {
    std::vector<int> indexes;
    for (int i = 1; i < kClientTableSize; ++i) {
        if (is_chosen(i)) indexes.push_back(i);
    }
    return indexes;
}

bool TcpLink::is_chosen(int index) const {
    if (index < 1 || index > kMaxClients || client_table_[index].in_use != 1) return false;
    const std::uint64_t id = client_table_[index].connection_id;
    return std::find(chosen_.begin(), chosen_.end(), id) != chosen_.end();
}

std::uint64_t TcpLink::connection_of(int index) const {
    if (index < 1 || index > kMaxClients || client_table_[index].in_use != 1) return 0;
    return client_table_[index].connection_id;
}

int TcpLink::index_of_connection(std::uint64_t connection) const {
    if (connection == 0) return 0;
    for (int i = 1; i < kClientTableSize; ++i) {
        if (client_table_[i].in_use == 1 && client_table_[i].connection_id == connection) return i;
    }
    return 0;
}

bool TcpLink::write_to(std::uint64_t connection, std::string_view line) {
    const int index = index_of_connection(connection);
    QTcpSocket* socket = index != 0 ? client_table_[index].socket : nullptr;
    const auto size = static_cast<qint64>(line.size());
    if (!socket || socket->state() != QAbstractSocket::ConnectedState || socket->write(line.data(), size) != size)
        return false;
    observe(TrafficDirection::kSent, socket, line);
    return true;
}

qint64 TcpLink::bytes_to_write(std::uint64_t connection) const {
    const int index = index_of_connection(connection);
    return index != 0 && client_table_[index].socket ? client_table_[index].socket->bytesToWrite() : 0;
}

void TcpLink::attach(std::uint64_t connection, ClientReceiver* receiver) {
    if (connection == 0 || !receiver || index_of_connection(connection) == 0) return;
    receivers_[connection] = receiver;
}

void TcpLink::detach(std::uint64_t connection) {
    receivers_.erase(connection);
}

void TcpLink::set_last_result(std::uint64_t connection, std::string text) {
    const int index = index_of_connection(connection);
    if (index == 0) return;
    client_table_[index].last_result = std::move(text);
    emit clients_changed();
}

ClientReceiver* TcpLink::receiver_of(const QTcpSocket* socket) const {
    const int index = socket ? table_index(socket) : 0;
    if (index == 0) return nullptr;
    const auto found = receivers_.find(client_table_[index].connection_id);
    return found == receivers_.end() ? nullptr : found->second;
}

int TcpLink::table_index(const QTcpSocket* socket) const {
    for (int i = 1; i < kClientTableSize; ++i) {
        if (client_table_[i].socket == socket) return i;
    }
    return 0;
}

QTcpSocket* TcpLink::target_socket() const {
    if (tool_.config.client_server == 1) {
        return selected_client_present() ? client_table_[tool_.config.select_number].socket : nullptr;
    }
    return client_socket_;
}

// ---- sockets ----

void TcpLink::watch_socket(QTcpSocket* socket) {
    socket->setReadBufferSize(kReadBufferLimit);
    // One short line each way at a time: held back for coalescing, a line would wait for the peer's
    // delayed acknowledgement.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read_from(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { tcp_close_socket(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) { on_socket_error(socket, error); });
}

void TcpLink::discard_socket(QTcpSocket* socket) {
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void TcpLink::drop_client_socket() {
    if (!client_socket_) return;
    QTcpSocket* socket = client_socket_;
    client_socket_ = nullptr;
    discard_socket(socket);
}

void TcpLink::drop_server() {
    if (!server_) return;
    QTcpServer* server = server_;
    server_ = nullptr;
    server->disconnect(this);
    server->close();
    server->deleteLater();
}

void TcpLink::show_link_box(std::string_view text) {
    notices_.show_box(text, kBoxTitle, BoxIcon::kStop);
}

int TcpLink::tcp_connect() {
    const Configuration& config = tool_.config;
    if (client_socket_ && client_socket_->state() == QAbstractSocket::ConnectedState) return 1;
    // An attempt still under way (perhaps to another host) is replaced by this one.
    drop_client_socket();

    const int host = config.select_number;
    const std::optional<std::uint16_t> port = parse_tcp_port(tool_.model.network.port_number);
    if (host < 0 || host >= config.list_count || host >= kMaxHosts || !port) {
        show_link_box("接続できません");
        return 0;
    }
    const HostAddress& octets = config.host_list[host];
    const quint32 ipv4 = (quint32{octets[0]} << 24) | (quint32{octets[1]} << 16) | (quint32{octets[2]} << 8) |
                         quint32{octets[3]};

    auto* socket = new QTcpSocket(this);
    client_socket_ = socket;
    watch_socket(socket);
    connect(socket, &QTcpSocket::connected, this, &TcpLink::on_client_connected);
    socket->connectToHost(QHostAddress(ipv4), *port);
    emit connected_changed();
    return 1;
}

void TcpLink::on_client_connected() {
    // State first: the notice box runs its own event loop.
    set_tcp_connected(1);
    notices_.notify_success("Socket 接続 OK");
}

void TcpLink::on_socket_error(QTcpSocket* socket, int error) {
    // A unit that closes its end is not an error: the disconnected signal frees its entry.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    // A unit in a session of its own has its failure told in that session's result, not in a box.
    const bool in_session = receiver_of(socket) != nullptr;
    tcp_close_socket(socket);
    if (!in_session) notices_.notify_error(kSocketEventError);
}

int TcpLink::tcp_start_server() {
    if (is_listening()) return 1;
    drop_server();

    const std::optional<std::uint16_t> port = parse_tcp_port(tool_.model.network.port_number);
    if (!port) {
        show_link_box("Bindできません");
        return 0;
    }
    auto* server = new QTcpServer(this);
    server->setListenBacklogSize(kListenBacklog);
    if (!server->listen(QHostAddress::AnyIPv4, *port)) {
        const QAbstractSocket::SocketError error = server->serverError();
        delete server;
        if (error == QAbstractSocket::AddressInUseError || error == QAbstractSocket::SocketAccessError ||
            error == QAbstractSocket::SocketAddressNotAvailableError) {
            show_link_box("Bindできません");
        } else {
            show_link_box(with_code("WINSOCK.DLLの listen() からのエラー。", error));
        }
        return 0;
    }
    server_ = server;
    connect(server, &QTcpServer::newConnection, this, &TcpLink::on_new_connection);
    connect(server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
        show_link_box(with_code("WINSOCK.DLLの accept() からのエラー。", error));
    });
    emit connected_changed();
    return 1;
}

void TcpLink::on_new_connection() {
    bool changed = false;
    while (server_ && server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (!socket) break;
        int free_entry = 0;
        for (int i = 1; i < kClientTableSize; ++i) {
            if (client_table_[i].in_use == 0) {
                free_entry = i;
                break;
            }
        }
        if (free_entry == 0) {
            // The table is full: the unit is turned away without a message.
            discard_socket(socket);
            continue;
        }
        socket->setParent(this);
        TcpClientEntry& entry = client_table_[free_entry];
        entry.in_use = 1;
        entry.socket = socket;
        entry.address = dotted(socket->peerAddress());
        entry.port = socket->peerPort();
        entry.connected_at_ms = QDateTime::currentMSecsSinceEpoch();
        entry.last_result.clear();
        entry.connection_id = ++next_connection_id_;
        watch_socket(socket);
        changed = true;
    }
    if (changed) emit clients_changed();
}

void TcpLink::tcp_close_socket(QTcpSocket* socket) {
    if (!socket) return;
    const bool was_target = socket == target_socket();
    discard_socket(socket);
    if (socket == client_socket_) {
        client_socket_ = nullptr;
        emit connected_changed();
    }
    const int index = table_index(socket);
    ClientReceiver* receiver = nullptr;
    if (index != 0) {
        TcpClientEntry& entry = client_table_[index];
        if (const auto found = receivers_.find(entry.connection_id); found != receivers_.end()) {
            receiver = found->second;
            receivers_.erase(found);
        }
        std::erase(chosen_, entry.connection_id);
        entry = TcpClientEntry{};
        entry.address = " ";
    }
    // The session on that unit learns of it once the entry is free, so it cannot write there again.
    if (receiver) receiver->connection_gone();
    if (index != 0) emit clients_changed();
    // A unit in a session of its own was not the link's to answer: nothing of the link's is lost.
    if (!was_target || receiver) return;
    // Nothing more goes to that unit: a running sequence stops, and an answer due cannot come any more.
    tool_.link.link_lost = 1;
    if (answer_pending()) answer_missing();
    answers_.reset();
    lines_.clear();
}

void TcpLink::tcp_stop() {
    // The operator closes the link: an answer still due will not come, so a sequence must stop, but
    // there is nobody to tell.
    if (answer_pending()) {
        tool_.link.error_reply = 1;
        tool_.link.link_lost = 1;
    }
    answers_.reset();
    lines_.clear();
    drop_client_socket();
    drop_server();
    for (int i = 1; i < kClientTableSize; ++i) {
        TcpClientEntry& entry = client_table_[i];
        if (entry.in_use != 1) continue;
        if (entry.socket) discard_socket(entry.socket);
        if (const auto found = receivers_.find(entry.connection_id); found != receivers_.end()) {
            ClientReceiver* receiver = found->second;
            receivers_.erase(found);
            entry = TcpClientEntry{};
            receiver->connection_gone();
        }
        entry = TcpClientEntry{};
        entry.address = " ";
    }
    tcp_reset_table();
    emit clients_changed();
    emit connected_changed();
}

// ---- sending and answers ----

void TcpLink::tcp_send(std::string_view line) {
    if (!tcp_is_connected()) {
        tool_.link.link_lost = 1;
        notices_.notify_warning("Socket が接続されていません");
        return;
    }
    QTcpSocket* socket = target_socket();
    const auto size = static_cast<qint64>(line.size());
    if (!socket || socket->state() != QAbstractSocket::ConnectedState ||
        socket->write(line.data(), size) != size) {
        tool_.link.error_reply = 1;
        tool_.link.link_lost = 1;
        notices_.notify_warning(kSendFailed);
        return;
    }
    // Bytes that came while no answer was due and never ended their line cannot begin this command's
    // answer: they are dropped, so noise from the unit does not cost the answer.
    if (!answers_.due()) lines_.clear();
    answers_.expect();
    observe(TrafficDirection::kSent, socket, line);
}

void TcpLink::observe(TrafficDirection direction, const QTcpSocket* socket, std::string_view bytes) const {
    if (!observer_ || !socket) return;
    const std::string peer =
        socket->peerAddress().toString().toStdString() + ":" + std::to_string(socket->peerPort());
    observer_(direction, peer, bytes);
}

void TcpLink::read_from(QTcpSocket* socket) {
    QPointer<QTcpSocket> guard(socket);
    while (guard && guard->bytesAvailable() > 0) {
        const QByteArray chunk = guard->read(kReceiveChunk);
        if (chunk.isEmpty()) break;
        // A unit with a session of its own answers that session.
        if (ClientReceiver* receiver = receiver_of(guard)) {
            receiver->bytes_received(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
            continue;
        }
        // Only the unit that commands go to answers them; anything else is read and dropped.
        if (guard != target_socket()) continue;
        lines_.feed(
            std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())),
            [this, &guard](const std::string& line) {
                // A notice box opened by an earlier line may have seen the unit go.
                if (guard && guard == target_socket()) line_received(guard, line);
            },
            [this, &guard] {
                if (guard && guard == target_socket()) unreadable_line_received(guard);
            });
    }
}

void TcpLink::line_received(const QTcpSocket* socket, const std::string& line) {
    if (answers_.take_line() == AnswerTracker::Line::kLate) {
        observe(TrafficDirection::kReceivedLate, socket, line);
        return;
    }
    observe(TrafficDirection::kReceived, socket, line);
    const int index = table_index(socket);
    if (index != 0) {
        std::string shown = line;
        while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
        client_table_[index].last_result = shown.substr(0, 24);
        emit clients_changed();
    }
    reply_handler_(tool_, notices_, line);
    emit reply_received(index);
}

void TcpLink::unreadable_line_received(const QTcpSocket* socket) {
    if (answers_.take_line() == AnswerTracker::Line::kLate) return;
    const int index = table_index(socket);
    handle_unreadable_reply(tool_);
    emit reply_received(index);
}

void TcpLink::answer_missing() {
    // Pieces of the answer that never completed must not be joined to the next one; the rest of that
    // line, when it comes, is dropped with the late answer.
    lines_.clear();
    answers_.give_up(target_socket() != nullptr);
    if (const int index = table_index(target_socket()); index != 0) {
        client_table_[index].last_result = kNoAnswer;
        emit clients_changed();
    }
    tool_.link.error_reply = 1;
    // However late the answer comes, the step stays failed.
    tool_.link.reply_missed = 1;
    notices_.notify_warning(kNoAnswer);
}

}  // namespace tvx
