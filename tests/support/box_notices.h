#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <functional>

#include "support/recording_notices.h"

namespace tvx::testing {

// A notice box that stays open for a while: its event loop runs, and the far end goes on sending.
// Only the first box blocks; while it is open, during() runs every few milliseconds.
class BoxNotices : public RecordingNotices {
  public:
    void notify_error(std::string_view text) override {
        RecordingNotices::notify_error(text);
        if (open_ms == 0 || opened) return;
        opened = true;
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (during) during();
        });
        poll.start(5);
        QTimer::singleShot(open_ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    int open_ms = 0;
    bool opened = false;
    std::function<void()> during;
};

}  // namespace tvx::testing
