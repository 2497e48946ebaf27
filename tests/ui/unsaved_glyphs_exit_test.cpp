#include <QAction>

#include <gtest/gtest.h>

#include "app/command_table.h"
#include "app/main_window.h"
#include "glyphs/glyph_store.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// Exit and New with glyphs drawn in a list and never saved.
class UnsavedGlyphsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        reset_settings(tool);
        window = std::make_unique<MainWindow>(tool, notices);
        tool.link.app_running = 1;
        window->show();
        // A dot drawn in the small editor, stored into its bank.
        tool.glyphs.current_slot = 200;
        tool.glyphs.glyph_buffer.replace(0, 1, "8");
        store_working_glyph(tool.glyphs, kSmall);
    }
    void TearDown() override { window->hide(); }

    ToolState tool;
    testing::RecordingNotices notices;
    std::unique_ptr<MainWindow> window;
};

TEST_F(UnsavedGlyphsTest, ExitNamesTheUnsavedBanksAndNoGoesBack) {
    tool.model.pages[2].blink = 1;  // an unsaved setting
    set_bank_modified(tool.glyphs, kLarge, true);
    notices.answers = {false};
    window->action(command::kExit)->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(tool.link.app_running, 1);
    EXPECT_EQ(notices.texts("question"),
              std::vector<std::string>{"外字一覧（大文字）、外字一覧（小文字）の外字が保存されていません。\n"
                                       "外字を保存せずに終了しますか？"});
    EXPECT_EQ(tool.glyphs.small_bank[200][0], '8');

    // Yes leaves the glyphs; the titles are asked about next, as before.
    notices.clear();
    notices.answers = {true, true};
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(tool.link.app_running, 0);
    ASSERT_EQ(notices.texts("question").size(), 2u);
    EXPECT_EQ(notices.texts("question")[1], "データを保存せずに終了しますか？");
}

TEST_F(UnsavedGlyphsTest, NewAsksBeforeItBlanksTheBanks) {
    notices.answers = {false};
    window->documents().document_new();
    EXPECT_EQ(tool.glyphs.small_bank[200][0], '8');
    EXPECT_EQ(notices.texts("question"),
              std::vector<std::string>{
                  "外字一覧（小文字）の外字が保存されていません。\n外字を保存せずに新規作成しますか？"});
    window->documents().document_new();  // Yes
    EXPECT_EQ(tool.glyphs.small_bank[200][0], '0');
    EXPECT_TRUE(unsaved_banks(tool.glyphs).empty());
}

}  // namespace
}  // namespace tvx
