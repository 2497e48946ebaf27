#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/console.h"
#include "config/input_file.h"
#include "config/notices.h"

namespace tvx {

// The command-line tool's words for files, after "tvx230-cli: ". The desktop tool's "Can't file open"
// says nothing of the cause, and a script or an operator reading a log needs the cause.

// An input file that was not read: why, in the words of what happened to it.
inline std::string input_file_refusal(const std::string& path, InputFileStatus status,
                                      std::size_t limit = kInputFileLimit) {
    switch (status) {
        case InputFileStatus::kRead:
            break;
        case InputFileStatus::kNotFound:
            return path + ": does not exist";
        case InputFileStatus::kPermissionDenied:
            return path + ": permission denied";
        case InputFileStatus::kNotAFile:
            return path + ": not a regular file (a folder, a FIFO or a device)";
        case InputFileStatus::kTooLarge:
            return path + ": too large (more than " + std::to_string(limit >> 20) + " MiB)";
        case InputFileStatus::kCannotOpen:
            return path + ": could not be read";
    }
    return path;
}

// A file that starts with a byte-order mark, which what of the kind (a settings document) never holds.
inline std::string byte_order_mark_refusal(const std::string& path, std::string_view what) {
    return path + ": starts with a byte-order mark; " + std::string(what) + " is saved without one";
}

// A file or folder that could not be written, with the system's cause ("No space left on device").
inline std::string write_failure(const std::string& path, const std::error_code& error) {
    return path + ": not written: " + error.message();
}

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
