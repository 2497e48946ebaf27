#include "ui/compare_dialog.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <fstream>

#include <gtest/gtest.h>

#include "app/compare_and_ports_install.h"
#include "model/settings_document.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

class CompareDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ui_app(); }

    std::string write_file(const std::string& bytes) {
        const std::string path = QDir(dir.path()).filePath("a.dat").toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    QTemporaryDir dir;
    testing::RecordingNotices notices;
};

TEST_F(CompareDialogTest, ListsTheChangedColourAndScheduleEntryOfAReadBackModel) {
    SettingsModel saved;
    saved.pages[0].title = "\x83\x65\x83\x58\x83\x67";  // テスト
    const std::string path = write_file(write_document(saved));

    SettingsModel memory;
    read_document(memory, write_document(saved));
    memory.pages[1].edge_colour = kBlue;
    memory.schedule[30][23] = {23, 59, 0};

    const auto diffs = compare_with_document(memory, path, notices);
    ASSERT_TRUE(diffs.has_value());
    ASSERT_EQ(diffs->size(), 2u);

    CompareDialog dialog(*diffs, "a.dat");
    dialog.show();
    ASSERT_TRUE(dialog.table()->isVisible());
    EXPECT_FALSE(dialog.empty_label()->isVisible());
    ASSERT_EQ(dialog.table()->rowCount(), 2);
    EXPECT_EQ(dialog.table()->item(0, 0)->text(), "P02");
    EXPECT_EQ(dialog.table()->item(0, 1)->text(), "縁取り色");
    EXPECT_EQ(dialog.table()->item(0, 2)->text(), "青");
    EXPECT_EQ(dialog.table()->item(0, 3)->text(), "黒");
    EXPECT_EQ(dialog.table()->item(1, 0)->text(), "31日");
    EXPECT_EQ(dialog.table()->item(1, 2)->text(), "23:59 01");
    const ScheduleEntry& in_file = saved.schedule[30][23];
    EXPECT_EQ(dialog.table()->item(1, 3)->text(), QStringLiteral("%1:%2 ---")
                                                      .arg(in_file.hour, 2, 10, QChar('0'))
                                                      .arg(in_file.minute, 2, 10, QChar('0')));
    dialog.grab().save("/tmp/tvx230_compare_dialog.png");

    // Titles are shown decoded from the unit's code page.
    memory.pages[0].title = "ABC";
    CompareDialog titles(*compare_with_document(memory, path, notices), "a.dat");
    EXPECT_EQ(titles.table()->item(0, 3)->text(), "テスト");
}

TEST_F(CompareDialogTest, SameSettingsSayThereIsNoDifferenceAndAMissingFileGivesNothing) {
    SettingsModel memory;
    memory.pages[5].char_size = 2;
    const auto diffs = compare_with_document(memory, write_file(write_document(memory)), notices);
    ASSERT_TRUE(diffs.has_value());
    CompareDialog dialog(*diffs, "a.dat");
    dialog.show();
    EXPECT_TRUE(dialog.empty_label()->isVisible());
    EXPECT_EQ(dialog.empty_label()->text(), "差分はありません");
    EXPECT_FALSE(dialog.table()->isVisible());
    dialog.grab().save("/tmp/tvx230_compare_dialog_empty.png");

    EXPECT_FALSE(compare_with_document(memory, QDir(dir.path()).filePath("none.dat").toStdString(), notices));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});
}

// Any other text file used to list the defaults as the file's values; now it is refused with the line
// at fault. A document that ends early compares only what it holds.
TEST_F(CompareDialogTest, ATextFileIsRefusedAndAShortDocumentComparesOnlyWhatItHolds) {
    SettingsModel memory;
    memory.pages[5].char_size = 2;
    memory.alarm_mode = 1;
    EXPECT_FALSE(compare_with_document(memory, write_file("[TVX-230_Section]\r\nport=COM1\r\n"), notices));
    EXPECT_EQ(notices.texts("warning"),
              std::vector<std::string>{"a.dat は設定ファイルではありません。\n1行目: 数値ではありません"});

    notices.clear();
    SettingsModel saved = memory;
    saved.pages[5].char_size = 0;
    std::string text = write_document(saved);
    text.resize(text.find("\r\n", text.find("\r\n0\r\n1\r\n1\r\n1") + 2) + 2);  // through page 6's size
    const auto diffs = compare_with_document(memory, write_file(text), notices);
    ASSERT_TRUE(diffs.has_value());
    ASSERT_EQ(diffs->size(), 1u);
    EXPECT_EQ((*diffs)[0].where, "P06");
    EXPECT_EQ(
        notices.texts("box"),
        std::vector<std::string>{"a.dat は 73 行目で終わっています。\nそれより後の設定は比較していません。"});
}

// The count above the list; copy and save give the same tab-separated text, the header first, with
// titles decoded and the tabs and line breaks a title may hold kept out of the columns.
TEST_F(CompareDialogTest, CountsTheDifferencesAndCopiesAndSavesThemAsTabSeparatedText) {
    SettingsModel memory;
    SettingsModel other;
    memory.power_on_page = 4;
    other.power_on_page = 0;
    memory.pages[0].title = "\x83\x65\x83\x58\x83\x67\tA\r\nB";  // テスト, a tab, a line break
    CompareDialog dialog(compare_settings(memory, other), "a.dat");
    dialog.set_notices(notices);
    dialog.show();
    EXPECT_EQ(dialog.count_label()->text(), QStringLiteral("差分 2 件"));
    EXPECT_TRUE(dialog.copy_button()->isEnabled());
    const QString expected = QStringLiteral(
        "ページ／日\t設定\tメモリの値\tファイルの値\n"
        "P01\tタイトル\tテスト A  B\t\n"
        "その他\t電源投入時ページ\t05\t01\n");
    EXPECT_EQ(dialog.list_text(), expected);
    dialog.copy_button()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);

    const std::string path = QDir(dir.path()).filePath("list.txt").toStdString();
    ASSERT_TRUE(dialog.save_to(path));
    std::ifstream in(path, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    QString crlf = expected;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    EXPECT_EQ(QString::fromStdString(saved), crlf);
    EXPECT_FALSE(dialog.save_to(QDir(dir.path()).filePath("none/list.txt").toStdString()));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"ファイルを保存できません"});
    dialog.grab().save("/tmp/tvx230_compare_dialog_count.png");

    CompareDialog same({}, "a.dat");
    EXPECT_FALSE(same.copy_button()->isEnabled());
    EXPECT_FALSE(same.save_button()->isEnabled());
}

}  // namespace
}  // namespace tvx
