#include "editors/title_editor_controller.h"

#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "protocol/recording_link.h"
#include "protocol/title_encoding.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::RecordingLink;
using testing::RecordingNotices;

const std::string kGlyphTitle = std::string("\x93\xFA\x10\x20\x11\x00\r\n\x13\x39\x96\x7B", 12);

struct TitleEditorTest : ::testing::Test {
    ToolState tool;
    RecordingNotices notices;
    RecordingLink link;
    TitleEditorController editor{tool, link, notices};
};

TEST_F(TitleEditorTest, GlyphCellsAreShownAsStoredAndViewingChangesNothing) {
    tool.model.pages[5].title = kGlyphTitle;
    mark_document_saved(tool.model);  // as opened from a document
    tool.model.run.current_page = 5;
    editor.open();
    EXPECT_EQ(editor.title(), kGlyphTitle);

    // Merely viewing the title and closing keeps the glyphs.
    EXPECT_TRUE(editor.close());
    EXPECT_EQ(tool.model.pages[5].title, kGlyphTitle);
    EXPECT_FALSE(data_modified(tool.model));
}

TEST_F(TitleEditorTest, EveryChangeIsStoredAndMarksTheDocumentModified) {
    editor.open();
    editor.select_page(3);
    EXPECT_EQ(tool.model.run.current_page, 3);
    EXPECT_FALSE(data_modified(tool.model));  // choosing a page changes nothing

    ASSERT_TRUE(editor.edit_title("\x82\xA0"));
    EXPECT_EQ(tool.model.pages[3].title, "\x82\xA0");
    EXPECT_TRUE(data_modified(tool.model));

    // The field holds 448 bytes at most: a longer text is not taken.
    const std::string full(448, '\x88');
    EXPECT_TRUE(editor.edit_title(full));
    EXPECT_FALSE(editor.edit_title(full + "\x88\x9F"));
    EXPECT_EQ(tool.model.pages[3].title, full);

    // A change on one page and a look at another: Close leaves the other page alone.
    tool.model.pages[7].title = kGlyphTitle;
    editor.select_page(7);
    EXPECT_TRUE(editor.close());
    EXPECT_EQ(tool.model.pages[7].title, kGlyphTitle);
    EXPECT_EQ(tool.model.pages[3].title, full);
}

TEST_F(TitleEditorTest, SendAllEndsOnARefusedTitleOrAnErrorReply) {
    tool.model.pages[9].title = "AB";
    editor.open();
    ASSERT_TRUE(editor.start_send_all());
    int ticks = 0;
    while (editor.tick()) ++ticks;
    EXPECT_EQ(ticks, 9);
    EXPECT_EQ(link.lines.size(), 9u);  // pages 1 to 9
    EXPECT_EQ(editor.progress(), 0);
    EXPECT_EQ(editor.percentage(), "  ");

    // An error reply from the unit stops at the next tick and leaves the progress shown.
    tool.model.pages[9].title.clear();
    link.lines.clear();
    ASSERT_TRUE(editor.start_send_all());
    editor.tick();
    editor.tick();
    tool.link.error_reply = 1;
    EXPECT_FALSE(editor.tick());
    EXPECT_EQ(link.lines.size(), 2u);
    EXPECT_EQ(editor.progress(), 2);
    EXPECT_EQ(editor.percentage(), "3");
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_TRUE(editor.close());
}

TEST_F(TitleEditorTest, WindowTitleNamesTheSelectedUnit) {
    tool.config.select_number = -1;
    EXPECT_EQ(editor.window_title("10.1.1.1"), "タイトルの設定");
    tool.config.select_number = 2;
    EXPECT_EQ(editor.window_title("10.1.1.1"), "タイトルの設定 10.1.1.1");
    EXPECT_EQ(TitleEditorController::page_items().front(), "01");
    EXPECT_EQ(TitleEditorController::page_items().back(), "64");
}

}  // namespace
}  // namespace tvx
