#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/notices.h"

namespace tvx {

// The notices the desktop tool's parts are given: each goes on to the notices shown to the operator,
// and its gist is handed to the status bar as the last result. A job's status (a transfer completed or
// stopped by the operator) has no box: it goes to the status bar and is noted in the communication log.
class StatusNotices : public Notices {
  public:
    // result: the status bar's last result; note: a line for the communication log.
    using Sink = std::function<void(const std::string& text)>;

    explicit StatusNotices(Notices& shown) : shown_(shown) {}

    void set_result_sink(Sink sink) { result_ = std::move(sink); }
    void set_note_sink(Sink sink) { note_ = std::move(sink); }

    void notify_success(std::string_view text) override;
    void notify_error(std::string_view text) override;
    void notify_warning(std::string_view text) override;
    void notify_status(std::string_view text) override;
    void show_box(std::string_view text, std::string_view title, BoxIcon icon) override;
    bool ask_yes_no(std::string_view text) override { return shown_.ask_yes_no(text); }
    bool confirm_not_auto_switching() override { return shown_.confirm_not_auto_switching(); }
    bool confirm_make_other_sizes() override { return shown_.confirm_make_other_sizes(); }

  private:
    void result(std::string_view title, std::string_view text);

    Notices& shown_;
    Sink result_;
    Sink note_;
};

}  // namespace tvx
