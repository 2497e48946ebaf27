#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <functional>

namespace tvx::testing {

// The test program starts from gtest's main; the application object is made on first use.
inline void ensure_unit_application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_unit";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Runs the event loop until done() holds or the deadline passes; returns done().
inline bool run_until(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace tvx::testing
