#pragma once

#include <string>
#include <vector>

namespace tvx {

// One line of an editor's text preview, at its position in pixels from the frame's top-left corner.
// Lines are drawn over what the frame already shows, on an opaque white background, so the texts carry
// the padding that covers a longer earlier text.
struct PreviewLine {
    int x = 0;
    int y = 0;
    std::string text;  // UTF-8
};

// The preview is never drawn while the window repaints: a repaint marks it due and restarts the
// editor's preview timer, whose next tick draws it. Opening waits a little longer.
class DeferredPreview {
  public:
    static constexpr int kOpenDelayMs = 200;
    static constexpr int kRepaintDelayMs = 20;

    // Each returns the period to (re)start the preview timer with.
    int opened() {
        pending_ = true;
        return kOpenDelayMs;
    }
    int repainted() {
        pending_ = true;
        return kRepaintDelayMs;
    }
    // A timer tick: true when the preview is due now; the flag is cleared and the timer may stop.
    bool tick() {
        const bool due = pending_;
        pending_ = false;
        return due;
    }
    bool pending() const { return pending_; }

  private:
    bool pending_ = false;
};

// Two decimal digits, "01" for 1.
std::string two_digits(int value);

}  // namespace tvx
