#pragma once

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <cstdint>
#include <string>

namespace tvx::testing {

// The event loop the link's sockets and timers need; made once, unless the program already has one.
inline void ensure_event_loop() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tvx230-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Runs the event loop until done() holds or the deadline passes.
template <typename Pred>
bool wait_for(Pred done, int ms = 3000) {
    return QTest::qWaitFor(done, ms);
}

// A loopback port that nothing listens on at the moment.
inline std::uint16_t unused_port() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const auto port = static_cast<std::uint16_t>(probe.serverPort());
    probe.close();
    return port;
}

}  // namespace tvx::testing
