#include "ui/message_box_notices.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

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

// Beeps, then shows the box and waits for the operator. With no owner the box is modal to the whole
// tool (task-modal); with an owner it is modal to that dialog.
QMessageBox::StandardButton show(QWidget* owner, std::string_view title, std::string_view text,
                                 QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    QApplication::beep();
    QMessageBox box(icon, from_utf8(title), from_utf8(text), buttons, owner);
    box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    if (buttons.testFlag(QMessageBox::No)) box.setDefaultButton(QMessageBox::Yes);
    return QMessageBox::StandardButton(box.exec());
}

bool ask(QWidget* owner, std::string_view title, std::string_view text) {
    return show(owner, title, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

}  // namespace

void MessageBoxNotices::notify_success(std::string_view text) {
    show(nullptr, "Success", text, QMessageBox::NoIcon, QMessageBox::Ok);
}

void MessageBoxNotices::notify_error(std::string_view text) {
    show(nullptr, "Error", text, QMessageBox::Critical, QMessageBox::Ok);
}

void MessageBoxNotices::notify_warning(std::string_view text) {
    show(nullptr, "Error", text, QMessageBox::Warning, QMessageBox::Ok);
}

void MessageBoxNotices::show_box(std::string_view text, std::string_view title, BoxIcon icon) {
    show(nullptr, title, text, box_icon(icon), QMessageBox::Ok);
}

bool MessageBoxNotices::ask_yes_no(std::string_view text) {
    return ask(nullptr, "TVX-230", text);
}

bool MessageBoxNotices::confirm_not_auto_switching() {
    return ask(QApplication::activeModalWidget(), "本機の確認", "本機が自動切換えでない事を確認してください");
}

bool MessageBoxNotices::confirm_make_other_sizes() {
    return ask(QApplication::activeModalWidget(), "他サイズ作成",
               "この外字をベースに他のサイズを作成しますか？");
}

}  // namespace tvx
