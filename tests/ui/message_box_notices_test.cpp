#include "ui/message_box_notices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "ui_test_app.h"

namespace tvx {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* owner = nullptr;
    bool application_modal = false;
};

// Reads the next box that opens and presses one of its buttons.
void answer_next_box(SeenBox& seen, QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->parentWidget(),
                box->windowModality() == Qt::ApplicationModal};
        ASSERT_NE(box->button(button), nullptr);
        box->button(button)->click();
    });
}

TEST(MessageBoxNotices, NoticesAreOwnerlessTaskModalBoxesWithTheirTitleAndIcon) {
    testing::ui_app();
    MessageBoxNotices notices;
    SeenBox seen;

    answer_next_box(seen, QMessageBox::Ok);
    notices.notify_error("No Connect");
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, "No Connect");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(seen.application_modal);

    answer_next_box(seen, QMessageBox::Ok);
    notices.notify_warning("Can't file open");
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);

    answer_next_box(seen, QMessageBox::Ok);
    notices.notify_success("Success");
    EXPECT_EQ(seen.title, "Success");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);

    answer_next_box(seen, QMessageBox::Ok);
    notices.show_box("２重に起動はできません", "TVX-230", BoxIcon::kNone);
    EXPECT_EQ(seen.title, "TVX-230");
    EXPECT_EQ(seen.text, "２重に起動はできません");
}

TEST(MessageBoxNotices, QuestionsAnswerYesOrNo) {
    testing::ui_app();
    MessageBoxNotices notices;
    SeenBox seen;

    answer_next_box(seen, QMessageBox::No);
    EXPECT_FALSE(notices.ask_yes_no("データを保存せずに終了しますか？"));
    EXPECT_EQ(seen.title, "TVX-230");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.owner, nullptr);

    answer_next_box(seen, QMessageBox::Yes);
    EXPECT_TRUE(notices.ask_yes_no("データを保存せずに終了しますか？"));
}

TEST(MessageBoxNotices, ConfirmationsBelongToTheAskingDialog) {
    testing::ui_app();
    MessageBoxNotices notices;
    SeenBox seen;
    QDialog editor;
    editor.setModal(true);
    editor.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &editor);

    answer_next_box(seen, QMessageBox::Yes);
    EXPECT_TRUE(notices.confirm_not_auto_switching());
    EXPECT_EQ(seen.title, "本機の確認");
    EXPECT_EQ(seen.text, "本機が自動切換えでない事を確認してください");
    EXPECT_EQ(seen.owner, &editor);

    answer_next_box(seen, QMessageBox::No);
    EXPECT_FALSE(notices.confirm_make_other_sizes());
    EXPECT_EQ(seen.title, "他サイズ作成");
    EXPECT_EQ(seen.text, "この外字をベースに他のサイズを作成しますか？");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.owner, &editor);
    editor.hide();
}

}  // namespace
}  // namespace tvx
