#include "editors/per_page_editor.h"

#include <gtest/gtest.h>

#include "editors/editor_unit_link.h"
#include "protocol/recording_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

class PerPageEditorTest : public ::testing::Test {
  protected:
    PerPageEditor editor(PerPageMember member) { return PerPageEditor(tool, link, per_page_form(member)); }

    ToolState tool;
    testing::RecordingLink link;
};

TEST_F(PerPageEditorTest, PreviewShowsTheHalfThatHoldsTheCurrentPage) {
    PerPageEditor size = editor(PerPageMember::kCharSize);
    tool.model.run.current_page = 39;
    tool.model.pages[39].char_size = 2;
    const auto lines = size.draw_preview();
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines.front().text, "P33 MEDIUM");
    EXPECT_EQ(lines.back().text, "P64 MEDIUM");
    EXPECT_EQ(lines[7].text, "P40 SMALL   ");
    EXPECT_EQ(lines[7].x, 20);
    EXPECT_EQ(lines[7].y, 171);
    EXPECT_EQ(lines[8].x, 150);
    EXPECT_EQ(lines[8].y, 10);
    EXPECT_EQ(lines[31].x, 410);

    tool.model.run.current_page = 31;
    EXPECT_EQ(size.draw_preview().front().text, "P01 MEDIUM");
}

TEST_F(PerPageEditorTest, AllPagesSelectorSetsEveryPageAndIsRemembered) {
    PerPageEditor size = editor(PerPageMember::kCharSize);
    tool.model.run.current_page = 4;
    size.select_all_pages(0, 2);
    for (const PageSettings& page : tool.model.pages) EXPECT_EQ(page.char_size, 2);
    EXPECT_EQ(tool.model.memory.all_char_size, 2);
    EXPECT_EQ(size.value_selection(0), 2);
    EXPECT_EQ(size.value_items(0)[2], "SMALL ");
    EXPECT_TRUE(link.lines.empty());

    PerPageEditor autos = editor(PerPageMember::kAutoSwitch);
    autos.select_all_pages(0, 0);
    EXPECT_EQ(editor(PerPageMember::kAutoSwitch).all_pages_selection(0), 0);
    reset_settings(tool);
    EXPECT_EQ(editor(PerPageMember::kAutoSwitch).all_pages_selection(0), 1);
}

TEST_F(PerPageEditorTest, PageIsSharedAcrossTheFamily) {
    PerPageEditor blink = editor(PerPageMember::kBlink);
    blink.select_page(9);
    blink.select_value(0, 1);
    EXPECT_EQ(tool.model.pages[9].blink, 1);
    EXPECT_EQ(editor(PerPageMember::kCharSize).page_selection(), 9);
    blink.send_page();
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0], "CBS10ON\r\n");
    // Indexes a cleared selector reports change nothing.
    blink.select_page(-1);
    blink.select_value(0, 2);
    EXPECT_EQ(tool.model.run.current_page, 9);
    EXPECT_EQ(tool.model.pages[9].blink, 1);
}

TEST_F(PerPageEditorTest, SendsEachMembersCommands) {
    tool.model.run.current_page = 4;
    struct Case {
        PerPageMember member;
        const char* page_line;
        std::size_t all_length;
    };
    const Case cases[] = {
        {PerPageMember::kCharSize, "CFS05M\r\n", 67},
        {PerPageMember::kDisplayPosition, "IDP05B\r\n", 67},
        {PerPageMember::kDisplayOffset, "IDO0507\r\n", 131},
        {PerPageMember::kScrollSpeed, "ISS054\r\n", 67},
        {PerPageMember::kBlink, "CBS05OF\r\n", 67},
        {PerPageMember::kAutoSwitch, "PAS05L\r\n", 67},
        {PerPageMember::kCharColour, "CABC0570\r\n", 132},
        {PerPageMember::kBackgroundFill, "FB05OF\r\n", 66},
        {PerPageMember::kCharLevel, "CWL05H\r\n", 67},
    };
    for (const Case& c : cases) {
        link.lines.clear();
        PerPageEditor member = editor(c.member);
        member.send_page();
        member.send_all_pages();
        ASSERT_EQ(link.lines.size(), 2u);
        EXPECT_EQ(link.lines[0], c.page_line);
        EXPECT_EQ(link.lines[1].size(), c.all_length + 2) << c.page_line;
    }
    link.lines.clear();
    editor(PerPageMember::kScrollSpeed).send_all_pages();
    EXPECT_EQ(link.lines[0], "ISS" + std::string(64, '4') + "\r\n");
}

TEST_F(PerPageEditorTest, MembersKeepTheirOwnTextsAndCaptions) {
    EXPECT_EQ(per_page_forms().size(), 9u);
    EXPECT_EQ(PerPageEditor::page_items().size(), 64u);
    EXPECT_EQ(PerPageEditor::page_items()[63], "64");
    EXPECT_EQ(editor(PerPageMember::kDisplayOffset).value_items(0).size(), 16u);
    EXPECT_EQ(editor(PerPageMember::kDisplayPosition).value_items(0),
              (std::vector<std::string>{"TOP   ", "BOTTOM"}));
    EXPECT_EQ(per_page_form(PerPageMember::kCharLevel).page_button, "設定");
    EXPECT_EQ(per_page_form(PerPageMember::kCharSize).page_button, "ページ設定");

    // Character level: no space after the page number, the word brings its own.
    tool.model.run.current_page = 4;
    EXPECT_EQ(editor(PerPageMember::kCharLevel).draw_preview()[4].text, "P05 = HIGH");
    EXPECT_EQ(editor(PerPageMember::kScrollSpeed).draw_preview()[4].text, "P05 4 ");
    EXPECT_EQ(editor(PerPageMember::kDisplayPosition).draw_preview()[0].text, "P01 BOTTOM");

    tool.config.select_number = -1;
    EXPECT_EQ(editor(PerPageMember::kBlink).window_title("10.0.0.5"), "点滅");
    tool.config.select_number = 2;
    EXPECT_EQ(editor(PerPageMember::kBlink).window_title("10.0.0.5"), "文字点滅の設定 10.0.0.5");
}

TEST_F(PerPageEditorTest, ColourPreviewShowsEightPagesWithPaddedWords) {
    PerPageEditor colours = editor(PerPageMember::kCharColour);
    auto lines = colours.draw_preview();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].text, "文字色　　縁取り色");
    EXPECT_EQ(lines[0].x, 80);
    EXPECT_EQ(lines[0].y, 1);
    EXPECT_EQ(lines[1].text, "Page 01 = 白　　　　黒　　　　");
    EXPECT_EQ(lines[1].y, 20);

    colours.select_page(11);
    colours.select_value(1, 5);
    colours.select_all_pages(0, 6);
    lines = colours.draw_preview();
    EXPECT_EQ(lines[1].text.substr(0, 10), "Page 09 = ");
    EXPECT_EQ(lines[8].text.substr(0, 10), "Page 16 = ");
    EXPECT_EQ(lines[4].text, "Page 12 = シアン　　マゼンタ　");
    EXPECT_EQ(lines[8].y, 20 + 23 * 7);
    EXPECT_EQ(colours.value_selection(0), 6);
    EXPECT_EQ(colours.value_selection(1), 5);
    EXPECT_EQ(tool.model.memory.all_char_colour, 6);
    EXPECT_EQ(tool.model.memory.all_edge_colour, 0);
}

TEST_F(PerPageEditorTest, ValueOutsideTheListShowsNoSelectionAndAMark) {
    tool.model.pages[0].char_size = 7;
    tool.model.pages[0].char_colour = 12;
    EXPECT_EQ(editor(PerPageMember::kCharSize).value_selection(0), -1);
    EXPECT_EQ(editor(PerPageMember::kCharSize).draw_preview()[0].text, "P01 ?       ");
    EXPECT_EQ(editor(PerPageMember::kCharColour).draw_preview()[1].text, "Page 01 = ？　　　　黒　　　　");
    tool.model.run.current_page = 99;  // never offered, but must not reach outside the pages
    EXPECT_EQ(editor(PerPageMember::kCharSize).draw_preview().size(), 32u);
}

TEST_F(PerPageEditorTest, OpeningResetsTheHiddenEntryAndDefersThePreview) {
    tool.model.run.hidden_entry_count = 4;
    PerPageEditor size = editor(PerPageMember::kCharSize);
    EXPECT_EQ(size.open_editor(), 200);
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_TRUE(size.preview().pending());
    EXPECT_TRUE(size.preview().tick());
    EXPECT_FALSE(size.preview().tick());
    EXPECT_EQ(size.preview().repainted(), 20);
    EXPECT_TRUE(size.preview().tick());
}

TEST(PerPageEditorUnit, EveryMembersSendsReachTheUnit) {
    ToolState tool;
    testing::RecordingNotices notices;
    testing::EditorUnitLink link(tool, notices);
    for (const PerPageEditorForm& form : per_page_forms()) {
        PerPageEditor editor(tool, link, form);
        for (int v = 0; v < form.value_count; ++v) editor.select_all_pages(v, 0);
        editor.send_all_pages();
        editor.select_page(20);
        for (int v = 0; v < form.value_count; ++v)
            editor.select_value(v, static_cast<int>(form.values[v].items.size()) - 1);
        editor.send_page();
        for (int v = 0; v < form.value_count; ++v) {
            const PerPageValue& value = form.values[static_cast<std::size_t>(v)];
            const auto& pages = link.unit.settings().pages;
            EXPECT_EQ(pages[0].*value.field, 0) << form.caption;
            EXPECT_EQ(pages[63].*value.field, 0) << form.caption;
            EXPECT_EQ(pages[20].*value.field, static_cast<int>(value.items.size()) - 1) << form.caption;
        }
    }
    EXPECT_TRUE(notices.texts("error").empty());
    EXPECT_EQ(tool.link.error_reply, 0);
}

}  // namespace
}  // namespace tvx
