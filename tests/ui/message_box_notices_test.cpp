#include "ui/message_box_notices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "ui/glyph_list_dialog.h"
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

SeenBox read_box(const QMessageBox& box) {
    return {box.windowTitle(), box.text(), box.icon(), box.parentWidget(),
            box.windowModality() == Qt::ApplicationModal};
}

// Reads the next box that opens and presses one of its buttons.
void answer_next_box(SeenBox& seen, QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = read_box(*box);
        ASSERT_NE(box->button(button), nullptr);
        box->button(button)->click();
    });
}

// Every message box on the screen.
QList<QMessageBox*> open_boxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) boxes << box;
    }
    return boxes;
}

TEST(MessageBoxNotices, NoticesAreTaskModalBoxesWithTheirTitleAndIcon) {
    testing::ui_app();
    MessageBoxNotices notices;
    SeenBox seen;

    answer_next_box(seen, QMessageBox::Ok);
    notices.notify_error("No Connect");
    notices.show_waiting();
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, "No Connect");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(seen.application_modal);

    answer_next_box(seen, QMessageBox::Ok);
    notices.notify_warning("Can't file open");
    notices.show_waiting();
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);

    answer_next_box(seen, QMessageBox::Ok);
    notices.notify_success("Success");
    notices.show_waiting();
    EXPECT_EQ(seen.title, "Success");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);

    answer_next_box(seen, QMessageBox::Ok);
    notices.show_box("２重に起動はできません", "TVX-230", BoxIcon::kNone);
    notices.show_waiting();
    EXPECT_EQ(seen.title, "TVX-230");
    EXPECT_EQ(seen.text, "２重に起動はできません");
    EXPECT_EQ(notices.waiting(), 0u);
}

TEST(MessageBoxNotices, NoticesComeOneAtATimeInOrderAndABurstLeavesOneBox) {
    testing::ui_app();
    MessageBoxNotices notices;
    notices.notify_error("No Connect");
    // Raised inside a slot, shown after it: the caller goes on at once.
    EXPECT_TRUE(open_boxes().isEmpty());
    notices.notify_error("シリアルポート COM1 (/dev/ttyUSB0) が外されました。");
    for (int i = 0; i < 20; ++i) notices.notify_error("No Connect");  // the same again, already waiting
    EXPECT_EQ(notices.waiting(), 2u);

    std::vector<QString> seen;
    std::vector<int> boxes_at_once;
    std::function<void()> read_and_close = [&] {
        const QList<QMessageBox*> boxes = open_boxes();
        boxes_at_once.push_back(static_cast<int>(boxes.size()));
        ASSERT_FALSE(boxes.isEmpty());
        seen.push_back(boxes.front()->text());
        if (seen.size() == 1) {
            // While one is open: a different notice waits its turn, the same one is not repeated.
            notices.notify_error("Miss! Set Comm State");
            notices.notify_error("No Connect");
            EXPECT_EQ(notices.waiting(), 2u);
        }
        if (notices.waiting() > 0) QTimer::singleShot(0, read_and_close);
        boxes.front()->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(0, read_and_close);
    notices.show_waiting();
    EXPECT_EQ(seen, (std::vector<QString>{"No Connect", "シリアルポート COM1 (/dev/ttyUSB0) が外されました。",
                                          "Miss! Set Comm State"}));
    EXPECT_EQ(boxes_at_once, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(notices.waiting(), 0u);
    EXPECT_FALSE(notices.box_open());
}

TEST(MessageBoxNotices, NoticesStillWaitingWhenTheToolEndsGoWithIt) {
    testing::ui_app();
    {
        MessageBoxNotices notices;
        notices.notify_error("No Connect");
        EXPECT_EQ(notices.waiting(), 1u);
    }
    // The call that would have shown it must not reach notices that are gone.
    QApplication::processEvents();
    EXPECT_TRUE(open_boxes().isEmpty());
}

TEST(MessageBoxNotices, QuestionsAnswerAtOnceAndNoticesWaitForTheAnswer) {
    testing::ui_app();
    MessageBoxNotices notices;
    SeenBox seen;

    answer_next_box(seen, QMessageBox::No);
    EXPECT_FALSE(notices.ask_yes_no("データを保存せずに終了しますか？"));
    EXPECT_EQ(seen.title, "TVX-230");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.owner, nullptr);

    // A notice raised while the question is open is shown after the answer, not over the question.
    int boxes_with_question = 0;
    QTimer::singleShot(0, [&] {
        notices.notify_error("No Connect");
        QApplication::processEvents();
        boxes_with_question = static_cast<int>(open_boxes().size());
        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(notices.ask_yes_no("データを保存せずに終了しますか？"));
    EXPECT_EQ(boxes_with_question, 1);
    EXPECT_EQ(notices.waiting(), 1u);
    answer_next_box(seen, QMessageBox::Ok);
    notices.show_waiting();
    EXPECT_EQ(seen.text, "No Connect");
    EXPECT_EQ(notices.waiting(), 0u);
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

// A notice opens over the dialog it speaks about and still holds the whole tool. A dialog that goes
// while its notice is open takes the box with it, and nothing is left to crash on.
TEST(MessageBoxNotices, NoticesOpenOverTheOpenDialogAndSurviveItsEnd) {
    testing::ui_app();
    MessageBoxNotices notices;
    SeenBox seen;
    auto* editor = new QDialog;
    editor->setWindowTitle(QStringLiteral("外字登録設定（大文字）"));
    editor->setModal(true);
    editor->resize(600, 400);
    editor->move(300, 200);
    editor->show();
    ASSERT_EQ(QApplication::activeModalWidget(), editor);

    QPoint box_centre;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = read_box(*box);
        box_centre = box->frameGeometry().center();
        box->button(QMessageBox::Ok)->click();
    });
    notices.notify_error("No Connect");
    notices.show_waiting();
    EXPECT_EQ(seen.owner, editor);
    EXPECT_TRUE(seen.application_modal);
    EXPECT_LE((box_centre - editor->frameGeometry().center()).manhattanLength(), 40);

    answer_next_box(seen, QMessageBox::No);
    EXPECT_FALSE(notices.ask_yes_no("データを保存せずに終了しますか？"));
    EXPECT_EQ(seen.owner, editor);
    EXPECT_TRUE(seen.application_modal);

    QTimer::singleShot(0, [editor] { delete editor; });
    notices.notify_error("Framing Error");
    notices.show_waiting();
    EXPECT_FALSE(notices.box_open());
    EXPECT_TRUE(open_boxes().isEmpty());
}

// Enter at a question that can throw work away keeps the work: unsaved settings or glyphs at New, Open
// and Exit, a bank read over unsaved glyphs, clearing edited glyphs, drawing over the other sizes.
// Only the check before a transfer, which loses nothing, has Yes as its default.
TEST(MessageBoxNotices, EnterGivesTheAnswerThatKeepsTheWork) {
    testing::ui_app();
    MessageBoxNotices notices;
    QDialog editor;
    editor.setModal(true);
    editor.show();
    Configuration config;
    GlyphFileDialogs glyph_dialogs(&editor, config);
    const std::pair<const char*, std::function<bool()>> questions[] = {
        {"unsaved settings", [&] { return notices.ask_yes_no("データを保存せずに終了しますか？"); }},
        {"unsaved glyphs", [&] { return notices.ask_yes_no("外字を保存せずに終了しますか？"); }},
        {"bank read", [&] { return notices.ask_yes_no("データを保存せずにユニットから読み込みますか？"); }},
        {"other sizes", [&] { return notices.confirm_make_other_sizes(); }},
        {"clear glyphs", [&] { return glyph_dialogs.confirm_clear(); }},
    };
    const auto press_enter = [] {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Return);
        });
    };
    for (const auto& [what, ask] : questions) {
        press_enter();
        EXPECT_FALSE(ask()) << what;
    }
    press_enter();
    EXPECT_TRUE(notices.confirm_not_auto_switching());
    editor.hide();
}

TEST(MessageBoxNotices, TheMainTimerKeepsGoingWhileANoticeIsOpen) {
    testing::ui_app();
    ToolState tool;
    reset_settings(tool);
    MessageBoxNotices notices;
    MainWindow window(tool, notices);
    window.show();  // starts the 100 ms timer
    tool.link.success_pending = 1;

    // Looks from inside the box's event loop once the "Success" of a tick is on the screen: the timer
    // goes on, counting the time-out of a command sent meanwhile (and moving the clock).
    int ticks_under_box = -1;
    QString box_text;
    QTimer look;
    look.setInterval(20);
    QObject::connect(&look, &QTimer::timeout, [&] {
        const QList<QMessageBox*> boxes = open_boxes();
        if (boxes.isEmpty()) return;
        look.stop();
        box_text = boxes.front()->text();
        tool.link.reply_expected = 1;
        tool.link.reply_timeout_ticks = 0;
        QTest::qWait(450);
        ticks_under_box = tool.link.reply_timeout_ticks;
        tool.link.reply_expected = 0;
        boxes.front()->button(QMessageBox::Ok)->click();
    });
    look.start();
    for (int i = 0; i < 300 && ticks_under_box < 0; ++i) QTest::qWait(10);
    EXPECT_EQ(box_text, QStringLiteral("Success"));
    EXPECT_GE(ticks_under_box, 2);
    EXPECT_TRUE(window.timer_active());
    window.hide();
}

}  // namespace
}  // namespace tvx
