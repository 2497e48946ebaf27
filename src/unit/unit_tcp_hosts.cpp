#include "unit/unit_tcp_hosts.h"

namespace tvx {

UnitTcpServer::UnitTcpServer(VirtualUnit& unit, QObject* parent) : QObject(parent), unit_(unit) {
    connect(&server_, &QTcpServer::newConnection, this, &UnitTcpServer::on_new_connection);
}

bool UnitTcpServer::listen(quint16 port, QString& error) {
    if (server_.listen(QHostAddress::Any, port)) return true;
    error = server_.errorString();
    return false;
}

void UnitTcpServer::on_new_connection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++connections_;
        auto* session = new UnitSession(
            unit_, [socket](const QByteArray& bytes) { socket->write(bytes); }, socket);
        connect(socket, &QTcpSocket::readyRead, session,
                [socket, session] { session->feed(socket->readAll()); });
        connect(session, &UnitSession::lines_handled, this, &UnitTcpServer::lines_handled);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

UnitTcpClient::UnitTcpClient(VirtualUnit& unit, QString host, quint16 port, QObject* parent)
    : QObject(parent),
      host_(std::move(host)),
      port_(port),
      session_(unit, [this](const QByteArray& bytes) { socket_.write(bytes); }) {
    retry_.setSingleShot(true);
    retry_.setInterval(1000);
    connect(&retry_, &QTimer::timeout, this, &UnitTcpClient::connect_now);
    connect(&socket_, &QTcpSocket::readyRead, this, [this] { session_.feed(socket_.readAll()); });
    connect(&socket_, &QTcpSocket::connected, this, &UnitTcpClient::connected_to_tool);
    connect(&session_, &UnitSession::lines_handled, this, &UnitTcpClient::lines_handled);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        if (running_) retry_.start();
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (running_ && socket_.state() == QAbstractSocket::UnconnectedState) retry_.start();
    });
}

UnitTcpClient::~UnitTcpClient() {
    running_ = false;
    retry_.stop();
    QObject::disconnect(&socket_, nullptr, this, nullptr);
    socket_.abort();
}

void UnitTcpClient::start() {
    running_ = true;
    connect_now();
}

void UnitTcpClient::stop() {
    running_ = false;
    retry_.stop();
    socket_.abort();
}

void UnitTcpClient::connect_now() {
    if (!running_ || socket_.state() != QAbstractSocket::UnconnectedState) return;
    socket_.connectToHost(host_, port_);
}

}  // namespace tvx
