#pragma once

#include <QObject>
#include <deque>
#include <optional>
#include <string>

#include "config/notices.h"

namespace tvx {

// The desktop tool's notices: a beep, then a task-modal message box over the window the operator is
// looking at (the open dialog, else the active window), so that a notice raised while an editor is open
// appears above that editor, and no window of the tool takes input until it is answered.
//
// A notice is not shown where it is raised (often inside a timer or a link's slot, which a box's event
// loop would hold up) but just after, from the event loop. Notices are shown one at a time in the order
// they came: one raised while a box is open waits for it to close. A notice that is the same as the one
// open or one already waiting is not shown twice, so a burst of it leaves one box.
//
// The questions answer at once, as their callers need the answer; the two confirmations of the
// transfers and the glyph editor belong to the dialog that asks them. A question whose Yes throws work
// away has No as its default button, so Enter keeps the work.
class MessageBoxNotices : public Notices {
  public:
    MessageBoxNotices() = default;
    ~MessageBoxNotices() override = default;

    void notify_success(std::string_view text) override;
    void notify_error(std::string_view text) override;
    void notify_warning(std::string_view text) override;
    void show_box(std::string_view text, std::string_view title, BoxIcon icon) override;
    bool ask_yes_no(std::string_view text) override;
    bool confirm_not_auto_switching() override;
    bool confirm_make_other_sizes() override;

    // Shows the waiting notices now, one after the other, and returns when the last is closed (for a
    // program about to end without an event loop). Does nothing while a box of these notices is open:
    // its end shows the rest.
    void show_waiting();
    // Notices raised and not shown yet, the open one not counted.
    std::size_t waiting() const { return waiting_.size(); }
    // Whether a notice or a question is on the screen.
    bool box_open() const { return box_open_; }

  private:
    struct Notice {
        std::string title;
        std::string text;
        BoxIcon icon = BoxIcon::kNone;
        bool operator==(const Notice&) const = default;
    };

    // The answer that loses nothing, which Enter gives.
    enum class Answer { kYes, kNo };

    void post(Notice notice);
    void schedule();
    bool ask(bool owned_by_dialog, std::string_view title, std::string_view text, Answer safe_answer);

    QObject context_;  // the queued calls die with the notices
    std::deque<Notice> waiting_;
    std::optional<Notice> open_;
    bool box_open_ = false;
    bool scheduled_ = false;
};

}  // namespace tvx
