#include "app/setting_editors_install.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "running_tool.h"
#include "support/recording_notices.h"
#include "ui/display_page_dialog.h"
#include "ui/other_options_dialog.h"
#include "ui/per_page_dialog.h"
#include "ui/setting_editor_widgets.h"
#include "ui/window_modal.h"
#include "ui_test_app.h"
#include "widget_probes.h"

namespace tvx {
namespace {

using testing::choose;

// The setting editors as the operator reaches them: through their menu ids in the running tool.
class SettingEditorsMenuTest : public testing::RunningToolTest {};

TEST_F(SettingEditorsMenuTest, EveryEditorOpensFromItsMenuItemAndToolbarButton) {
    app->tool().config.select_number = -1;
    const std::pair<int, const char*> editors[] = {
        {command::kCharSize, "文字サイズ"},
        {command::kDisplayPosition, "表示位置"},
        {command::kDisplayOffset, "表示位置微調整"},
        {command::kScrollSpeed, "スクロール速度"},
        {command::kBlink, "点滅"},
        {command::kAutoSwitch, "自動切換えの設定"},
        {command::kCharColour, "文字色の設定"},
        {command::kBackgroundFill, "背景色ベタ塗りの設定"},
        {command::kCharLevel, "文字レベルの設定"},
        {command::kOtherOptions, "その他"},
        {command::kDisplayPage, "表示ページ"},
        {command::kSlaveAddress, "機器のスレーブアドレス"},
        {command::kDateTime, "日付＆時刻の設定"},
        {command::kSchedule, "スケジュール"},
        {command::kAlarm, "アラームの設定"},
        {command::kRemote, "リモートの設定"},
        {command::kProtocol, "プロトコル"},
    };
    for (const auto& [id, caption] : editors) {
        EXPECT_TRUE(window->action(id)->isEnabled() || id == command::kSlaveAddress) << caption;
        EXPECT_EQ(open(id), QString::fromUtf8(caption));
    }
    // Toolbar button 503 stands for the character size editor.
    EXPECT_EQ(open(503), "文字サイズ");
    EXPECT_EQ(open(516), "表示ページ");
    EXPECT_EQ(open(501), "日付＆時刻の設定");
    EXPECT_EQ(open(512), "スケジュール");

    // A unit chosen in the TCP dialogs: the title text and that unit's address (none here: entry 0).
    app->tool().config.select_number = 0;
    EXPECT_EQ(open(command::kCharSize), "文字サイズの設定 ");
}

TEST_F(SettingEditorsMenuTest, NewKeepsTheDisplayPageChoicesAndTheSlaveAddress) {
    app->tool().model.run.slave_address = 7;
    open(command::kDisplayPage, [](QDialog* dialog) {
        auto* page = static_cast<DisplayPageDialog*>(dialog);
        choose(page->group(DisplayPageDialog::Setting::kPage), 64);
        choose(page->group(DisplayPageDialog::Setting::kDisplaySwitch), 0);
    });
    window->documents().document_new();
    EXPECT_EQ(app->tool().model.run.slave_address, 7);
    QString page_text;
    QString switch_text;
    open(command::kDisplayPage, [&](QDialog* dialog) {
        auto* page = static_cast<DisplayPageDialog*>(dialog);
        page_text = page->group(DisplayPageDialog::Setting::kPage)->combo()->currentText();
        switch_text = page->group(DisplayPageDialog::Setting::kDisplaySwitch)->combo()->currentText();
    });
    EXPECT_EQ(page_text, "PAS ");
    EXPECT_EQ(switch_text, "OFF");
}

// A setting changed in an editor is unsaved work: Exit asks before it goes, and No keeps the tool
// while the save is cancelled.
TEST_F(SettingEditorsMenuTest, ASettingChangedInAnEditorIsAskedAboutAtExit) {
    const std::pair<int, std::function<void(QDialog*)>> edits[] = {
        {command::kCharColour,
         [](QDialog* dialog) {
             // 全ページ同文字色: ブランク, all 64 pages at once.
             choose(static_cast<PerPageDialog*>(dialog)->all_pages_group(0), kBlank);
         }},
        {command::kOtherOptions,
         [](QDialog* dialog) {
             choose(static_cast<OtherOptionsDialog*>(dialog)->group(OtherOptionsDialog::Option::kPowerOnPage),
                    5);
         }},
    };
    for (const auto& [id, edit] : edits) {
        start();
        open(id, edit);
        notices.answers = {true};
        window->close();
        EXPECT_EQ(notices.texts("question"), std::vector<std::string>{"データを保存せずに終了しますか？"})
            << id;
        EXPECT_FALSE(window->isVisible()) << id;
    }
    EXPECT_EQ(app->tool().model.power_on_page, 5);
}

// Escape closes every editor, and Enter presses the default button, as in any dialog: every editor
// without a field to type in has Close as its default; Enter never sends anything to the unit.
TEST_F(SettingEditorsMenuTest, EscapeClosesEveryEditorAndEnterClosesThoseWithoutAField) {
    const int editors[] = {command::kCharSize,    command::kDisplayPosition, command::kBlink,
                           command::kCharColour,  command::kOtherOptions,    command::kDisplayPage,
                           command::kDateTime,    command::kSchedule,        command::kAlarm,
                           command::kRemote,      command::kTitle,           command::kFullSend,
                           command::kGlyphInsert, command::kGlyphListLarge};
    for (const int id : editors) {
        bool closed_by_escape = false;
        bool closed_by_enter = false;
        bool has_field = false;
        bool has_default = false;
        const QString caption = open(id, [&](QDialog* dialog) {
            has_field = has_field_to_type_in(*dialog);
            for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->isDefault()) has_default = button->text() == QStringLiteral("Close");
            }
            QTest::keyClick(dialog, Qt::Key_Escape);
            closed_by_escape = !dialog->isVisible();
        });
        EXPECT_FALSE(caption.isEmpty()) << id;
        EXPECT_TRUE(closed_by_escape) << caption.toStdString();
        open(id, [&](QDialog* dialog) {
            QTest::keyClick(dialog, Qt::Key_Return);
            closed_by_enter = !dialog->isVisible();
        });
        EXPECT_TRUE(has_default || has_field) << caption.toStdString();
        EXPECT_EQ(closed_by_enter, has_default) << caption.toStdString();
    }
    EXPECT_TRUE(notices.calls.empty())
        << (notices.calls.empty() ? std::string() : notices.calls.front().text);
}

}  // namespace
}  // namespace tvx
