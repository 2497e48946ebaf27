#include "ui/title_editor_dialog.h"

#include <QClipboard>
#include <QComboBox>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "protocol/recording_link.h"
#include "protocol/title_encoding.h"
#include "support/recording_notices.h"
#include "ui/monitor_preview_view.h"
#include "ui/title_field_text.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// What the input method hands the field when the operator confirms a conversion.
void commit(QWidget* field, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(field, &event);
}

class TitleEditorDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ui_app(); }

    ToolState tool;
    testing::RecordingNotices notices;
    testing::RecordingLink link;
};

TEST_F(TitleEditorDialogTest, ConvertsBetweenTheFieldAndShiftJis) {
    EXPECT_EQ(TitleEditorDialog::field_text("\x93\xFA\r\n\x82\xA0"), QStringLiteral("日\nあ"));
    EXPECT_EQ(TitleEditorDialog::title_bytes(QStringLiteral("日\nあ")), std::string("\x93\xFA\r\n\x82\xA0"));
    EXPECT_EQ(TitleEditorDialog::title_bytes(QStringLiteral("①Ⅰ髙")),
              std::string("\x87\x40\x87\x54\xFB\xFC"));
    // Characters the code page lacks are refused, not turned into 0xFCFC.
    EXPECT_EQ(TitleEditorDialog::title_bytes(QStringLiteral("日😀")), std::nullopt);
    EXPECT_EQ(TitleEditorDialog::title_bytes(QStringLiteral("é")), std::nullopt);
}

TEST_F(TitleEditorDialogTest, TypingStoresTheTitleAndMarksTheDocumentModified) {
    tool.model.pages[2].title = "\x82\xA0";
    tool.model.run.current_page = 1;
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("タイトルの設定 "));  // select_number 0 names an entry
    EXPECT_EQ(dialog.page_selector()->count(), 64);
    EXPECT_EQ(dialog.page_selector()->currentIndex(), 1);
    EXPECT_EQ(dialog.slave_selector()->count(), 33);
    EXPECT_FALSE(dialog.slave_selector()->isEnabled());
    EXPECT_TRUE(dialog.title_field()->testAttribute(Qt::WA_InputMethodEnabled));

    const QImage empty_page = dialog.monitor()->image();
    commit(dialog.title_field(), QStringLiteral("日本"));
    EXPECT_EQ(tool.model.pages[1].title, "\x93\xFA\x96\x7B");
    EXPECT_NE(dialog.monitor()->image(), empty_page) << "the monitor preview follows the typing";
    EXPECT_TRUE(data_modified(tool.model));

    mark_document_saved(tool.model);
    dialog.page_selector()->setCurrentIndex(2);
    emit dialog.page_selector()->activated(2);
    EXPECT_EQ(dialog.title_field()->toPlainText(), QStringLiteral("あ"));
    EXPECT_EQ(tool.model.run.current_page, 2);
    EXPECT_FALSE(data_modified(tool.model));  // choosing a page is no change

    // A character the code page lacks is refused and the field keeps its text.
    commit(dialog.title_field(), QStringLiteral("😀"));
    EXPECT_EQ(dialog.title_field()->toPlainText(), QStringLiteral("あ"));
    EXPECT_EQ(tool.model.pages[2].title, "\x82\xA0");
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{std::string(kTitleRefused)});

    // The field holds 448 bytes: the 225th character is not taken.
    dialog.title_field()->setPlainText(QString(224, QChar(0x3042)));
    EXPECT_EQ(tool.model.pages[2].title.size(), 448u);
    mark_document_saved(tool.model);
    commit(dialog.title_field(), QStringLiteral("い"));
    EXPECT_EQ(dialog.title_field()->toPlainText(), QString(224, QChar(0x3042)));
    EXPECT_EQ(tool.model.pages[2].title.size(), 448u);
    EXPECT_FALSE(data_modified(tool.model));    // nothing was taken, nothing changed
    EXPECT_TRUE(notices.texts("box").empty());  // one character typed: the beep says it
}

TEST_F(TitleEditorDialogTest, JapaneseTypedOrPastedOnLinuxIsTakenInItsCodePage932Form) {
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    // As a Linux input method commits them: WAVE DASH, MINUS SIGN, DOUBLE VERTICAL LINE, CENT, POUND,
    // NOT SIGN and EM DASH, none of which code page 932 writes in these forms.
    commit(dialog.title_field(), QStringLiteral("１０〜２０"));
    commit(dialog.title_field(), QStringLiteral("−‖¢£¬—"));
    EXPECT_EQ(tool.model.pages[0].title,
              "\x82\x50\x82\x4F\x81\x60\x82\x51\x82\x4F"
              "\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C");
    EXPECT_EQ(dialog.title_field()->toPlainText(), QStringLiteral("１０〜２０−‖¢£¬—"));
    // Pasted from another program, the same.
    QApplication::clipboard()->setText(QStringLiteral("〜−‖¢£¬—"));
    dialog.title_field()->paste();
    EXPECT_EQ(tool.model.pages[0].title.substr(22),
              "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C");
    EXPECT_TRUE(notices.calls.empty());

    QTest::mouseClick(dialog.page_send_button(), Qt::LeftButton);
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 4 + 4 * (5 + 6 + 7) + 4),
              "CA01"
              "2331"
              "2330"
              "2141"
              "2332"
              "2330"
              "215D"
              "2142"
              "2171"
              "2172"
              "224C"
              "213D"
              "2141"
              "215D"
              "2142"
              "2171"
              "2172"
              "224C"
              "213D"
              "2121");
}

TEST_F(TitleEditorDialogTest, AHalfWidthSpaceIsRefusedByThePageSend) {
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    commit(dialog.title_field(), QStringLiteral("あ"));
    QTest::keyClick(dialog.title_field(), Qt::Key_Space);
    commit(dialog.title_field(), QStringLiteral("い"));
    EXPECT_EQ(tool.model.pages[0].title, "\x82\xA0 \x82\xA2");
    QTest::mouseClick(dialog.page_send_button(), Qt::LeftButton);
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(notices.texts("warning"),
              std::vector<std::string>{"ＪＩＳ第１水準,第２水準以外の字が選択されてます"});

    dialog.title_field()->setPlainText(QStringLiteral("あ　い"));
    QTest::mouseClick(dialog.page_send_button(), Qt::LeftButton);
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 16), "CA01242221212424");
}

TEST_F(TitleEditorDialogTest, ViewingAGlyphTitleAndClosingKeepsTheGlyphs) {
    const std::string title("\x82\xA0\x10\x20\x11\x00", 6);
    tool.model.pages[0].title = title;
    mark_document_saved(tool.model);  // as opened from a document
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    const QString shown = dialog.title_field()->toPlainText();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QChar(0x3042));
    EXPECT_TRUE(is_glyph_char(shown[1]) && is_glyph_char(shown[2]) && shown[1] != shown[2]);
    QTest::mouseClick(dialog.close_button(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(tool.model.pages[0].title, title);
    EXPECT_FALSE(data_modified(tool.model));
}

TEST_F(TitleEditorDialogTest, EditingElsewhereNeverTurnsAGlyphIntoASpace) {
    // Read back from the unit: あ, large glyph 001, medium glyph 160, small glyph 256, 日.
    TitleCodes codes{};
    codes.fill(kIdeographicSpace);
    codes[0] = 0x2422;
    codes[1] = glyph_code(0);
    codes[2] = glyph_code(159);
    codes[3] = glyph_code(255);
    codes[4] = 0x467C;
    codes[5] = 0x7C71;  // ⅰ and ≒ as the unit names them: characters the code page also holds elsewhere
    codes[6] = 0x2D70;
    ASSERT_TRUE(decode_title(tool.model, build_title_command(codes, 0)));
    const std::string read_back = tool.model.pages[0].title;
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/h-addr-title-glyph-title.png"));

    // The mouse over the first glyph names it.
    QTextCursor over = dialog.title_field()->textCursor();
    over.setPosition(1);
    const QRect left = dialog.title_field()->cursorRect(over);
    over.setPosition(2);
    const QPoint middle((left.center().x() + dialog.title_field()->cursorRect(over).center().x()) / 2,
                        left.center().y());
    const QPoint at = dialog.title_field()->viewport()->mapTo(dialog.title_field(), middle);
    QHelpEvent help(QEvent::ToolTip, at, dialog.title_field()->mapToGlobal(at));
    QCoreApplication::sendEvent(dialog.title_field(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("外字 001 (A365)"));
    QToolTip::hideText();

    commit(dialog.title_field(), QStringLiteral("本"));  // at the end, where the cursor is
    EXPECT_EQ(tool.model.pages[0].title, read_back + "\x96\x7B");
    QTest::mouseClick(dialog.page_send_button(), Qt::LeftButton);
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 36), "CA012422A365A548A64A467C7C712D704B5C");

    // One glyph can be deleted on purpose, and another moved by cut and paste: each stays itself.
    QTextCursor cursor = dialog.title_field()->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    dialog.title_field()->setTextCursor(cursor);
    QTest::keyClick(dialog.title_field(), Qt::Key_Delete);
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    dialog.title_field()->setTextCursor(cursor);
    dialog.title_field()->cut();
    cursor.movePosition(QTextCursor::End);
    dialog.title_field()->setTextCursor(cursor);
    dialog.title_field()->paste();
    QTest::mouseClick(dialog.page_send_button(), Qt::LeftButton);
    EXPECT_EQ(link.lines.back().substr(0, 36), "CA012422A64A467C7C712D704B5CA3652121");
    QTest::mouseClick(dialog.close_button(), Qt::LeftButton);
    EXPECT_EQ(encode_title(tool.model.pages[0].title).value()[6], glyph_code(0));
}

// What the input method shows while the operator is still converting.
void compose(QWidget* field, const QString& text) {
    QList<QInputMethodEvent::Attribute> attributes;
    attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, static_cast<int>(text.size()), 1);
    QInputMethodEvent event(text, attributes);
    QCoreApplication::sendEvent(field, &event);
}

QString composing(const QPlainTextEdit* field) {
    return field->textCursor().block().layout()->preeditAreaText();
}

TEST_F(TitleEditorDialogTest, ConvertingBesideAGlyphKeepsTheConversionWhereItIsTyped) {
    const std::string title("\x82\xA0\x10\x20", 4);  // あ and large glyph 033
    tool.model.pages[0].title = title;
    mark_document_saved(tool.model);  // as opened from a document
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    QPlainTextEdit* field = dialog.title_field();
    QTextCursor between = field->textCursor();
    between.setPosition(1);
    field->setTextCursor(between);

    compose(field, QStringLiteral("か"));
    compose(field, QStringLiteral("かん"));
    EXPECT_EQ(composing(field), QStringLiteral("かん"));
    EXPECT_EQ(field->textCursor().position(), 1);
    EXPECT_EQ(tool.model.pages[0].title, title);  // nothing is stored while converting
    EXPECT_FALSE(data_modified(tool.model));

    commit(field, QStringLiteral("漢"));
    EXPECT_EQ(tool.model.pages[0].title, std::string("\x82\xA0\x8A\xBF\x10\x20", 6));
    EXPECT_EQ(field->textCursor().position(), 2);

    // A conversion abandoned leaves the title as it was.
    compose(field, QStringLiteral("じ"));
    compose(field, QString());
    EXPECT_EQ(tool.model.pages[0].title, std::string("\x82\xA0\x8A\xBF\x10\x20", 6));
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(TitleEditorDialogTest, APasteLongerThanTheFieldKeepsTheWholeCharactersThatFit) {
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    dialog.title_field()->setPlainText(QString(220, QChar(0x3042)));  // 440 bytes
    QTextCursor cursor = dialog.title_field()->textCursor();
    cursor.setPosition(10);
    dialog.title_field()->setTextCursor(cursor);
    QApplication::clipboard()->setText(QString(10, QChar(0x3044)));
    dialog.title_field()->paste();
    EXPECT_EQ(tool.model.pages[0].title.size(), 448u);
    const QString shown = dialog.title_field()->toPlainText();
    EXPECT_EQ(shown, QString(10, QChar(0x3042)) + QString(4, QChar(0x3044)) + QString(210, QChar(0x3042)));
    EXPECT_EQ(dialog.title_field()->textCursor().position(), 14);

    // With one byte left, a line break (two bytes) does not fit, a half-width letter does.
    dialog.title_field()->setPlainText(QString(223, QChar(0x3042)) + QLatin1Char('A'));
    ASSERT_EQ(tool.model.pages[0].title.size(), 447u);
    QApplication::clipboard()->setText(QStringLiteral("\nBC"));
    dialog.title_field()->moveCursor(QTextCursor::End);
    dialog.title_field()->paste();
    EXPECT_EQ(tool.model.pages[0].title.size(), 447u);
    EXPECT_EQ(dialog.title_field()->toPlainText(), QString(223, QChar(0x3042)) + QLatin1Char('A'));
    QApplication::clipboard()->setText(QStringLiteral("BC"));
    dialog.title_field()->paste();
    EXPECT_EQ(tool.model.pages[0].title.size(), 448u);
    EXPECT_EQ(tool.model.pages[0].title.substr(446), "AB");
    // Each paste says how many of its characters were left out.
    EXPECT_EQ(notices.texts("box"),
              (std::vector<std::string>{"入りきらない 6 文字を省きました", "入りきらない 3 文字を省きました",
                                        "入りきらない 1 文字を省きました"}));
    EXPECT_TRUE(notices.texts("warning").empty());

    // 300 characters pasted into an empty title: the first 224 are the title.
    notices.clear();
    dialog.title_field()->clear();
    ASSERT_TRUE(tool.model.pages[0].title.empty());
    QString long_text;
    for (int i = 0; i < 300; ++i) long_text += QChar(0x3042 + i % 80);
    QApplication::clipboard()->setText(long_text);
    dialog.title_field()->paste();
    EXPECT_EQ(dialog.title_field()->toPlainText(), long_text.left(224));
    EXPECT_EQ(TitleEditorDialog::field_text(tool.model.pages[0].title), long_text.left(224));
    EXPECT_EQ(notices.texts("box"), std::vector<std::string>{"入りきらない 76 文字を省きました"});
}

TEST_F(TitleEditorDialogTest, SendAllShowsPercentagesAndCannotBeClosedWhileRunning) {
    TitleEditorDialog dialog(tool, link, notices, "", nullptr);
    dialog.show();
    QTest::mouseClick(dialog.all_send_button(), Qt::LeftButton);
    EXPECT_TRUE(dialog.timer().isActive());
    EXPECT_EQ(dialog.timer().interval(), 600);
    EXPECT_FALSE(dialog.close_button()->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());

    QStringList shown;
    for (int page = 1; page <= 63; ++page) {
        dialog.tick();
        shown << dialog.percentage_field()->text();
    }
    EXPECT_EQ(shown[0], QStringLiteral("1"));
    EXPECT_EQ(shown[31], QStringLiteral("50"));
    EXPECT_EQ(shown[62], QStringLiteral("98"));
    EXPECT_EQ(dialog.progress_bar()->value(), 63);
    dialog.tick();  // page 64 ends the send
    EXPECT_FALSE(dialog.timer().isActive());
    EXPECT_TRUE(dialog.close_button()->isEnabled());
    EXPECT_EQ(dialog.percentage_field()->text(), QStringLiteral("  "));
    EXPECT_EQ(dialog.progress_bar()->value(), 0);
    EXPECT_EQ(link.lines.size(), 64u);
    EXPECT_EQ(tool.model.run.batch_step, 0);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace tvx
