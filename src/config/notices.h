#pragma once

#include <string_view>

namespace tvx {

enum class BoxIcon { kNone, kStop, kExclamation, kQuestion };

// How every part of the tool reaches the operator. The desktop tool beeps and shows a message box;
// the command-line tool prints; tests record the calls and answer the questions from a script.
// Texts are UTF-8.
class Notices {
public:
    virtual ~Notices() = default;

    virtual void notify_success(std::string_view text) = 0;  // title "Success", no icon
    virtual void notify_error(std::string_view text) = 0;    // title "Error", stop icon
    virtual void notify_warning(std::string_view text) = 0;  // title "Error", exclamation icon
    // A job's end that needs no box (a transfer that completed, or one the operator stopped): the desktop
    // tool shows it in the status bar and notes it in the communication log. Goes nowhere by default.
    virtual void notify_status(std::string_view) {}

    // A box of its own title and icon, as the TCP link's "TVX-230" boxes.
    virtual void show_box(std::string_view text, std::string_view title, BoxIcon icon) = 0;

    // The unsaved-data questions: yes/no, title "TVX-230", question icon. True for Yes.
    virtual bool ask_yes_no(std::string_view text) = 0;

    // "本機が自動切換えでない事を確認してください" before transfers that take the unit's attention.
    virtual bool confirm_not_auto_switching() = 0;
    // "この外字をベースに他のサイズを作成しますか？" asked by the glyph editor.
    virtual bool confirm_make_other_sizes() = 0;
};

}  // namespace tvx
