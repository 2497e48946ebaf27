#include "ui/message_box_notices.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <algorithm>
#include <utility>

namespace tvx {

namespace {

QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QMessageBox::Icon box_icon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::kStop:
            return QMessageBox::Critical;
        case BoxIcon::kExclamation:
            return QMessageBox::Warning;
        case BoxIcon::kQuestion:
            return QMessageBox::Question;
        case BoxIcon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

// The window the operator is looking at: the dialog that holds the tool, else the window with the
// keyboard, else none.
QWidget* window_in_view() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

enum class Modality { kWholeTool, kOwnerOnly };

// Beeps, then shows the box and waits for the operator. The box opens over its owner; it holds the
// whole tool (task-modal) or only its owner's window. Enter presses the default button.
QMessageBox::StandardButton show(QWidget* owner, Modality modality, std::string_view title,
                                 std::string_view text, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton default_button) {
    QApplication::beep();
    // On the heap: the owner may close, and take its children with it, while the box is open.
    QPointer<QMessageBox> box = new QMessageBox(icon, from_utf8(title), from_utf8(text), buttons, owner);
    box->setWindowModality(modality == Modality::kOwnerOnly && owner ? Qt::WindowModal
                                                                     : Qt::ApplicationModal);
    box->setDefaultButton(default_button);
    const int answer = box->exec();
    if (!box) return QMessageBox::NoButton;
    delete box.data();
    return QMessageBox::StandardButton(answer);
}

}  // namespace

void MessageBoxNotices::notify_success(std::string_view text) {
    post({"Success", std::string(text), BoxIcon::kNone});
}

void MessageBoxNotices::notify_error(std::string_view text) {
    post({"Error", std::string(text), BoxIcon::kStop});
}

void MessageBoxNotices::notify_warning(std::string_view text) {
    post({"Error", std::string(text), BoxIcon::kExclamation});
}

void MessageBoxNotices::show_box(std::string_view text, std::string_view title, BoxIcon icon) {
    post({std::string(title), std::string(text), icon});
}

void MessageBoxNotices::post(Notice notice) {
    if (open_ == notice || std::find(waiting_.begin(), waiting_.end(), notice) != waiting_.end()) return;
    waiting_.push_back(std::move(notice));
    if (!box_open_) schedule();
}

void MessageBoxNotices::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        &context_, [this] { show_waiting(); }, Qt::QueuedConnection);
}

void MessageBoxNotices::show_waiting() {
    scheduled_ = false;
    // A box already open (this call came from its event loop) goes on to the next when it closes.
    if (box_open_) return;
    while (!waiting_.empty()) {
        open_ = std::move(waiting_.front());
        waiting_.pop_front();
        box_open_ = true;
        show(window_in_view(), Modality::kWholeTool, open_->title, open_->text, box_icon(open_->icon),
             QMessageBox::Ok, QMessageBox::Ok);
        box_open_ = false;
        open_.reset();
    }
}

bool MessageBoxNotices::ask(bool owned_by_dialog, std::string_view title, std::string_view text,
                            Answer safe_answer) {
    // Notices raised while the question is open wait for the answer.
    const bool was_open = std::exchange(box_open_, true);
    QWidget* owner = owned_by_dialog ? QApplication::activeModalWidget() : window_in_view();
    const auto default_button = safe_answer == Answer::kYes ? QMessageBox::Yes : QMessageBox::No;
    const bool yes =
        show(owner, owned_by_dialog ? Modality::kOwnerOnly : Modality::kWholeTool, title, text,
             QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, default_button) == QMessageBox::Yes;
    box_open_ = was_open;
    if (!box_open_ && !waiting_.empty()) schedule();
    return yes;
}

bool MessageBoxNotices::ask_yes_no(std::string_view text) {
    // Every one of these asks before work is thrown away: Enter keeps it.
    return ask(false, "TVX-230", text, Answer::kNo);
}

bool MessageBoxNotices::confirm_not_auto_switching() {
    // Yes only lets a transfer go on; nothing in the tool is lost by it.
    return ask(true, "本機の確認", "本機が自動切換えでない事を確認してください", Answer::kYes);
}

bool MessageBoxNotices::confirm_make_other_sizes() {
    // Yes draws over the other sizes' glyphs of the same number: Enter keeps them.
    return ask(true, "他サイズ作成", "この外字をベースに他のサイズを作成しますか？", Answer::kNo);
}

}  // namespace tvx
