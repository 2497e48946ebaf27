#pragma once

#include <string>
#include <string_view>

#include "cli/console.h"
#include "config/notices.h"

namespace tvx {

// The notices of one unit's session: errors and warnings go to standard error in the tool's own words,
// after the unit's name when several units run at once. Success notices are the summary's business and
// are not printed. Nobody sits at the terminal to answer questions: running the command is the
// operator's confirmation, so every question is answered Yes.
class CliNotices : public Notices {
  public:
    CliNotices(Console& console, std::string prefix) : console_(console), prefix_(std::move(prefix)) {}

    void notify_success(std::string_view) override {}
    void notify_error(std::string_view text) override { report(text); }
    void notify_warning(std::string_view text) override { report(text); }
    void show_box(std::string_view text, std::string_view, BoxIcon) override { report(text); }
    bool ask_yes_no(std::string_view) override { return true; }
    bool confirm_not_auto_switching() override { return true; }
    bool confirm_make_other_sizes() override { return true; }

    // The last error or warning shown, for the summary; empty when none.
    const std::string& last_problem() const { return last_problem_; }
    void set_prefix(std::string prefix) { prefix_ = std::move(prefix); }

  private:
    void report(std::string_view text) {
        last_problem_ = std::string(text);
        console_.message(prefix_ + std::string(text));
    }

    Console& console_;
    std::string prefix_;
    std::string last_problem_;
};

}  // namespace tvx
