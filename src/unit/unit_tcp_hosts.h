#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "unit/unit_session.h"
#include "unit/virtual_unit.h"

namespace tvx {

// A virtual unit listening for the tool as a TCP client. Every connection talks to the same unit.
class UnitTcpServer : public QObject {
    Q_OBJECT

  public:
    explicit UnitTcpServer(VirtualUnit& unit, QObject* parent = nullptr);

    // Port 0 picks a free port; port() tells which.
    bool listen(quint16 port, QString& error);
    quint16 port() const { return server_.serverPort(); }
    int connections() const { return connections_; }

  signals:
    void lines_handled();

  private:
    void on_new_connection();

    VirtualUnit& unit_;
    QTcpServer server_;
    int connections_ = 0;
};

// A virtual unit connecting to the tool's TCP server, as units do when the tool is the server. It tries
// again after a pause whenever the connection fails or closes, until stop().
class UnitTcpClient : public QObject {
    Q_OBJECT

  public:
    UnitTcpClient(VirtualUnit& unit, QString host, quint16 port, QObject* parent = nullptr);
    // Lets go of the socket first, so that its last signals cannot reach a half-destroyed client.
    ~UnitTcpClient() override;

    void start();
    void stop();
    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void set_retry_ms(int ms) { retry_.setInterval(ms); }

  signals:
    void connected_to_tool();
    void lines_handled();

  private:
    void connect_now();

    QString host_;
    quint16 port_;
    QTcpSocket socket_;
    UnitSession session_;
    QTimer retry_;
    bool running_ = false;
};

}  // namespace tvx
