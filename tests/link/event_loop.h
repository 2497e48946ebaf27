#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <functional>

namespace tvx::testing {

// The test programs start from gtest's main, so the application object is made on first use and
// lives until the program ends.
inline void ensure_core_application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_link";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Runs the event loop until done() holds or the deadline passes; returns done().
inline bool process_events_until(const std::function<bool()>& done,
                                 std::chrono::milliseconds deadline = std::chrono::seconds(3)) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    // Waits for events instead of spinning; the timer bounds each wait so the deadline is seen.
    QTimer wake;
    wake.start(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace tvx::testing
