#include "cli/socket_channel.h"

#include <utility>

#include "protocol/reply_handler.h"

namespace tvx {
namespace {

constexpr char kCannotConnect[] = "接続できません";
constexpr char kNoAnswer[] = "Answer が､きません";
constexpr char kSendFailed[] = "Socket 送信";
constexpr int kDrainLimitMs = 10000;
constexpr qint64 kReadBufferBytes = 64 * 1024;

std::string peer_label(const QTcpSocket& socket) {
    std::string host;
    int port = 0;
    peer_of(socket, host, port);
    return host + ":" + std::to_string(port);
}

}  // namespace

void peer_of(const QTcpSocket& socket, std::string& host, int& port) {
    QHostAddress address = socket.peerAddress();
    bool v4 = false;
    const quint32 ipv4 = address.toIPv4Address(&v4);
    if (v4) address = QHostAddress(ipv4);
    host = address.toString().toStdString();
    port = socket.peerPort();
}

SocketChannel::SocketChannel(ToolState& tool, Notices& notices, std::string host, quint16 port,
                             QObject* parent)
    : UnitChannel(tool, notices, parent), host_(std::move(host)), port_(port) {
    const bool v6 = host_.find(':') != std::string::npos;
    label_ = (v6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
    connect_timer_.setSingleShot(true);
    connect_timer_.setInterval(3000);
    connect(&connect_timer_, &QTimer::timeout, this, &SocketChannel::connect_missing);
    tool_.config.link_interface = 1;
    tool_.config.client_server = 0;
}

SocketChannel::SocketChannel(ToolState& tool, Notices& notices, QTcpSocket* accepted, QObject* parent)
    : UnitChannel(tool, notices, parent), socket_(accepted) {
    socket_->setParent(this);
    label_ = peer_label(*socket_);
    tool_.config.link_interface = 1;
    tool_.config.client_server = 1;
}

SocketChannel::~SocketChannel() {
    close();
}

void SocketChannel::open() {
    drain_timer_.setSingleShot(true);
    connect(&drain_timer_, &QTimer::timeout, this, [this] {
        if (drained_) std::exchange(drained_, nullptr)(false);
    });
    if (socket_) {
        // Taken over from the server: it is connected already, unless it left in the meantime.
        watch();
        if (socket_->state() != QAbstractSocket::ConnectedState) {
            gone_ = true;
            give_up_opening("the unit has gone");
            return;
        }
        emit ready();
        // Anything the unit sent before the command began is handled, as the tool would.
        if (socket_->bytesAvailable() > 0) on_ready_read();
        return;
    }
    socket_ = new QTcpSocket(this);
    watch();
    connect(socket_, &QTcpSocket::connected, this, [this] {
        if (!opening_) return;
        opening_ = false;
        connect_timer_.stop();
        emit ready();
    });
    opening_ = true;
    connect_timer_.start();
    socket_->connectToHost(QString::fromStdString(host_), port_);
}

void SocketChannel::watch() {
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Whatever a unit sends, no more than this waits in memory for the channel to read it.
    socket_->setReadBufferSize(kReadBufferBytes);
    connect(socket_, &QTcpSocket::readyRead, this, &SocketChannel::on_ready_read);
    connect(socket_, &QTcpSocket::disconnected, this, &SocketChannel::on_disconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &SocketChannel::on_error);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (drained_ && socket_ && socket_->bytesToWrite() == 0) {
            drain_timer_.stop();
            std::exchange(drained_, nullptr)(true);
        }
    });
}

bool SocketChannel::tcp_is_connected() const {
    return socket_ && !gone_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void SocketChannel::give_up_opening(const std::string& why) {
    opening_ = false;
    connect_timer_.stop();
    notices_.notify_error(std::string(kCannotConnect) + " (" + label_ + ": " + why + ")");
    emit open_failed();
}

void SocketChannel::connect_missing() {
    if (!opening_) return;
    if (socket_) socket_->abort();
    give_up_opening("no connection within the time-out");
}

void SocketChannel::on_error(QAbstractSocket::SocketError error) {
    if (opening_) {
        give_up_opening(socket_ ? socket_->errorString().toStdString() : "socket error");
        return;
    }
    // A unit closing its end is reported by disconnected.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    on_disconnected();
}

void SocketChannel::on_disconnected() {
    if (opening_ || gone_) return;
    gone_ = true;
    // Whatever came before the close is still handled.
    on_ready_read();
    connection_lost();
    if (drained_) {
        drain_timer_.stop();
        std::exchange(drained_, nullptr)(false);
    }
}

void SocketChannel::on_ready_read() {
    if (!socket_) return;
    const QByteArray bytes = socket_->readAll();
    QPointer<SocketChannel> self(this);
    lines_.feed(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        [this, self](const std::string& line) {
            // A handler may have closed the channel: the rest is not for it.
            if (!self || !socket_) return;
            if (observer_) observer_(TrafficDirection::kReceived, label_, line);
            std::string_view shown = line;
            while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.remove_suffix(1);
            line_received(line, shown);
        },
        [this, self] {
            // Longer than the reply handling keeps: dropped up to its LF, but still an answer.
            if (self && socket_) unreadable_line_received();
        });
}

bool SocketChannel::write_line(std::string_view line) {
    const auto size = static_cast<qint64>(line.size());
    if (!tcp_is_connected() || socket_->write(line.data(), size) != size) {
        notices_.notify_warning(kSendFailed);
        return false;
    }
    if (observer_) observer_(TrafficDirection::kSent, label_, line);
    return true;
}

void SocketChannel::handle_line(std::string_view line) {
    handle_tcp_reply(tool_, notices_, line);
}

std::string_view SocketChannel::no_answer_notice() const {
    return kNoAnswer;
}

void SocketChannel::drain(std::function<void(bool)> done) {
    if (!tcp_is_connected()) {
        done(!socket_ || socket_->bytesToWrite() == 0);
        return;
    }
    if (socket_->bytesToWrite() == 0) {
        done(true);
        return;
    }
    drained_ = std::move(done);
    drain_timer_.start(kDrainLimitMs);
}

void SocketChannel::close() {
    connect_timer_.stop();
    drain_timer_.stop();
    drained_ = nullptr;
    if (!socket_) return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    // Written bytes still go out before the connection closes.
    socket->disconnectFromHost();
    socket->setParent(nullptr);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->state() == QAbstractSocket::UnconnectedState) socket->deleteLater();
}

}  // namespace tvx
