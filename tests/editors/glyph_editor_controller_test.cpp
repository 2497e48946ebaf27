#include "editors/glyph_editor_controller.h"

#include <gtest/gtest.h>

#include "editor_unit_link.h"
#include "glyphs/glyph_text.h"
#include "protocol/command_builders.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

struct ScriptedQuestions : GlyphQuestions {
    bool confirm_clear() override {
        ++asked;
        return answer;
    }
    int asked = 0;
    bool answer = true;
};

class GlyphEditorTest : public ::testing::Test {
  protected:
    GlyphEditorController& editor(const GlyphSize& size) {
        controller = std::make_unique<GlyphEditorController>(tool, notices, link, questions, memory, size);
        controller->open_editor();
        return *controller;
    }
    std::string slot(const GlyphSize& size, int s) const {
        return glyph_bank(tool.glyphs, size)[static_cast<std::size_t>(s)].substr(
            0, static_cast<std::size_t>(size.digits));
    }
    std::string working(const GlyphSize& size) const {
        return tool.glyphs.glyph_buffer.substr(0, static_cast<std::size_t>(size.digits));
    }
    int lit_count(const GlyphSize& size) const {
        int n = 0;
        for (int y = 0; y < size.dots; ++y) {
            for (int x = 0; x < size.dots; ++x) n += glyph_dot(tool.glyphs.glyph_buffer, size, x, y);
        }
        return n;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    testing::EditorUnitLink link{tool, notices};
    ScriptedQuestions questions;
    GlyphEditorMemory memory;
    std::unique_ptr<GlyphEditorController> controller;
};

TEST_F(GlyphEditorTest, PointerToDotUsesTheEditableRangeAndIntegerCells) {
    GlyphEditorController& large = editor(kLarge);
    EXPECT_FALSE(large.mouse_down(GlyphEditorController::Button::kLeft, 21, 100));
    EXPECT_EQ(lit_count(kLarge), 0);
    EXPECT_EQ(memory.glyph_edited, 1);  // a press counts as an edit, even outside the grid
    large.mouse_up(GlyphEditorController::Button::kLeft);
    EXPECT_TRUE(large.mouse_down(GlyphEditorController::Button::kLeft, 22, 100));
    EXPECT_TRUE(large.dot_lit(1, 11));
    EXPECT_EQ(lit_count(kLarge), 1);
    EXPECT_EQ(slot(kLarge, 0), working(kLarge));

    // The far edges of the range reach the last editable column and row, one pixel more nothing.
    struct Edge {
        const GlyphSize* size;
        int x_max, y_max;
    };
    for (const Edge& e : {Edge{&kLarge, 481, 387}, Edge{&kMedium, 476, 383}, Edge{&kSmall, 471, 379}}) {
        GlyphEditorController& ed = editor(*e.size);
        tool.glyphs.glyph_buffer.assign(kGlyphBufferLength, '0');
        EXPECT_TRUE(ed.set_dot(e.x_max, e.y_max, true)) << e.size->name;
        EXPECT_TRUE(ed.dot_lit(e.size->dots - 2, e.size->dots - 2)) << e.size->name;
        EXPECT_FALSE(ed.set_dot(e.x_max + 1, e.y_max, true));
        EXPECT_FALSE(ed.set_dot(e.x_max, e.y_max + 1, true));
        const GlyphEditorForm& form = ed.form();
        EXPECT_TRUE(ed.set_dot(form.x_min, form.y_min, true));
        EXPECT_TRUE(ed.dot_lit(1, 1));
        EXPECT_FALSE(ed.set_dot(form.x_min - 1, form.y_min, true));
        EXPECT_FALSE(ed.set_dot(form.x_min, form.y_min - 1, true));
        EXPECT_EQ(lit_count(*e.size), 2);
        EXPECT_FALSE(ed.set_dot(32768 + form.x_min, form.y_min, false));  // 16 bits: a negative x
    }
}

TEST_F(GlyphEditorTest, DraggingLightsOnlyTheDotsUnderThePointer) {
    GlyphEditorController& small = editor(kSmall);
    small.mouse_down(GlyphEditorController::Button::kLeft, 40, 40);  // dot (1, 1)
    small.mouse_move(200, 40);                                       // dot (9, 1)
    small.mouse_move(900, 40);                                       // outside
    small.mouse_move(-5, 40);
    EXPECT_EQ(lit_count(kSmall), 2);
    EXPECT_TRUE(small.dot_lit(9, 1));
    small.mouse_up(GlyphEditorController::Button::kLeft);
    small.mouse_move(300, 40);
    EXPECT_EQ(lit_count(kSmall), 2);

    // Both buttons held: the dot ends dark.
    small.mouse_down(GlyphEditorController::Button::kLeft, 300, 300);
    small.mouse_down(GlyphEditorController::Button::kRight, 300, 300);
    small.mouse_move(200, 40);
    EXPECT_FALSE(small.dot_lit(9, 1));
    small.mouse_up(GlyphEditorController::Button::kRight);
    small.mouse_move(200, 40);
    EXPECT_TRUE(small.dot_lit(9, 1));
}

TEST_F(GlyphEditorTest, ANewNumberTakesTheWholeWorkingGlyph) {
    tool.glyphs.large_bank[0].replace(0, 12, "F00000000000");
    GlyphEditorController& large = editor(kLarge);
    EXPECT_EQ(working(kLarge).substr(0, 12), "F00000000000");
    EXPECT_EQ(large.number_items().front(), "01");
    EXPECT_EQ(large.number_items().back(), "70");
    EXPECT_EQ(large.number_items().size(), 70u);
    large.select_number(4);  // "05"
    EXPECT_EQ(tool.glyphs.current_slot, 4);
    EXPECT_EQ(slot(kLarge, 4), std::string(576, '0'));  // nothing is stored by choosing
    large.set_dot(22, 100, true);
    EXPECT_EQ(slot(kLarge, 4), working(kLarge));
    EXPECT_EQ(slot(kLarge, 4).substr(0, 12), "F00000000000");
    EXPECT_EQ(slot(kLarge, 0).substr(132, 1), "0");

    GlyphEditorController& medium = editor(kMedium);
    EXPECT_EQ(medium.number_items().front(), "001");
    EXPECT_EQ(medium.number_items().back(), "160");
}

TEST_F(GlyphEditorTest, ClearingAsksOnlyAfterAnEditAndNoKeepsEverything) {
    tool.glyphs.current_slot = 7;
    GlyphEditorController& medium = editor(kMedium);
    medium.mouse_down(GlyphEditorController::Button::kLeft, 100, 100);
    medium.mouse_up(GlyphEditorController::Button::kLeft);
    const std::string drawn = working(kMedium);
    questions.answer = false;
    EXPECT_FALSE(medium.clear_buffer());
    EXPECT_EQ(working(kMedium), drawn);
    EXPECT_EQ(slot(kMedium, 7), drawn);
    EXPECT_EQ(questions.asked, 1);

    tool.glyphs.glyph_reply_pending = 1;
    questions.answer = true;
    EXPECT_FALSE(medium.clear_buffer());  // refused without a word while a read is answered
    EXPECT_EQ(questions.asked, 1);

    tool.glyphs.glyph_reply_pending = 0;
    EXPECT_TRUE(medium.clear_buffer());
    EXPECT_EQ(working(kMedium), std::string(256, '0'));
    EXPECT_EQ(slot(kMedium, 7), std::string(256, '0'));
    EXPECT_EQ(memory.glyph_edited, 0);
    EXPECT_TRUE(medium.clear_buffer());  // no edit since: no question
    EXPECT_EQ(questions.asked, 2);
}

TEST_F(GlyphEditorTest, ReadsFromTheUnitFillTheWorkingGlyphAndTheSlot) {
    int redraws = 0;
    tool.glyphs.current_slot = 36;
    GlyphEditorController& large = editor(kLarge);
    large.set_redraw_handler([&] { ++redraws; });
    link.unit.glyphs().large_bank[36].replace(0, 6, "ABCDEF");
    large.read_number();
    EXPECT_EQ(link.lines.back(), build_glyph_read(kLarge, glyph_code(36)));
    EXPECT_EQ(working(kLarge).substr(0, 6), "ABCDEF");
    EXPECT_EQ(slot(kLarge, 36).substr(0, 6), "ABCDEF");
    EXPECT_EQ(tool.glyphs.current_slot, 36);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);

    // One half-width character: the ideographic space's pattern.
    large.sample_changed("A");
    EXPECT_EQ(memory.sample_text, "");
    large.read_sample();
    EXPECT_EQ(link.lines.back(), build_glyph_read(kLarge, 0x2121));
    large.sample_changed("\x88\x9f");  // 亜
    large.read_sample();
    EXPECT_EQ(link.lines.back(), build_glyph_read(kLarge, 0x3021));
    EXPECT_EQ(slot(kLarge, 36), working(kLarge));
    EXPECT_EQ(redraws, 3);

    tool.glyphs.glyph_reply_pending = 1;  // a read still unanswered: the next is ignored
    const std::size_t sent = link.lines.size();
    large.read_number();
    EXPECT_EQ(link.lines.size(), sent);
    large.close();
    EXPECT_EQ(tool.glyphs.glyph_reply_pending, 0);
    EXPECT_FALSE(tool.glyphs.redraw_editor);

    link.connected = false;
    large.read_number();
    large.read_sample();
    EXPECT_EQ(link.lines.size(), sent);
    EXPECT_EQ(notices.texts("error"),
              (std::vector<std::string>{"Socket が接続されていません", "Socket が接続されていません"}));
}

// A stroke from the first press to the last release is one step; undo puts back the working glyph and
// the slot together, redo takes them forward again, and a new step throws the undone ones away.
TEST_F(GlyphEditorTest, UndoAndRedoGoStrokeByStrokeThroughTheWorkingGlyphAndItsSlot) {
    using B = GlyphEditorController::Button;
    GlyphEditorController& small = editor(kSmall);
    EXPECT_FALSE(small.can_undo());
    EXPECT_FALSE(small.undo());

    small.mouse_down(B::kLeft, 40, 40);
    small.mouse_move(200, 40);
    small.mouse_down(B::kRight, 200, 40);  // the second button joins the same stroke
    small.mouse_up(B::kLeft);
    EXPECT_FALSE(small.undo());  // not in the middle of a stroke
    small.mouse_move(60, 40);
    small.mouse_up(B::kRight);
    const std::string after_first = working(kSmall);
    EXPECT_TRUE(small.dot_lit(1, 1));
    EXPECT_FALSE(small.dot_lit(9, 1));

    small.mouse_down(B::kLeft, 40, 200);
    small.mouse_up(B::kLeft);
    small.mouse_down(B::kLeft, 21, 21);  // outside the editable range: no step
    small.mouse_up(B::kLeft);

    ASSERT_TRUE(small.undo());
    EXPECT_EQ(working(kSmall), after_first);
    EXPECT_EQ(slot(kSmall, 0), after_first);
    ASSERT_TRUE(small.undo());
    EXPECT_EQ(working(kSmall), std::string(144, '0'));
    EXPECT_EQ(slot(kSmall, 0), std::string(144, '0'));
    EXPECT_FALSE(small.undo());
    ASSERT_TRUE(small.redo());
    EXPECT_EQ(slot(kSmall, 0), after_first);

    small.mouse_down(B::kLeft, 300, 300);
    small.mouse_up(B::kLeft);
    EXPECT_FALSE(small.can_redo());
    EXPECT_FALSE(small.redo());

    // A clear is a step too.
    ASSERT_TRUE(small.clear_buffer());
    ASSERT_TRUE(small.undo());
    EXPECT_TRUE(small.dot_lit(1, 1));
}

// After another number is chosen the first dot stores the whole working glyph there; undo gives that
// slot back its own glyph and goes back to its number.
TEST_F(GlyphEditorTest, UndoAcrossANewNumberRestoresEachSlotAndTheNumber) {
    using B = GlyphEditorController::Button;
    glyph_bank(tool.glyphs, kMedium)[7].replace(0, 4, "1234");
    GlyphEditorController& medium = editor(kMedium);
    medium.mouse_down(B::kLeft, 40, 40);
    medium.mouse_up(B::kLeft);
    const std::string drawn = working(kMedium);
    medium.select_number(7);
    medium.mouse_down(B::kLeft, 100, 100);
    medium.mouse_up(B::kLeft);
    EXPECT_EQ(slot(kMedium, 7).substr(0, 4), working(kMedium).substr(0, 4));

    tool.glyphs.bank_modified = {};
    ASSERT_TRUE(medium.undo());
    EXPECT_EQ(tool.glyphs.current_slot, 7);
    EXPECT_EQ(working(kMedium), drawn);
    EXPECT_EQ(slot(kMedium, 7).substr(0, 4), "1234");
    EXPECT_TRUE(bank_modified(tool.glyphs, kMedium));
    ASSERT_TRUE(medium.undo());
    EXPECT_EQ(tool.glyphs.current_slot, 0);
    EXPECT_EQ(slot(kMedium, 0), std::string(256, '0'));
}

TEST_F(GlyphEditorTest, FiftyStrokesAndAReadFromTheUnitCanAllBeUndone) {
    using B = GlyphEditorController::Button;
    GlyphEditorController& large = editor(kLarge);
    for (int i = 0; i < 60; ++i) {
        const int x = 22 + (i % 40) * 10;
        const int y = 20 + (i / 40 + 1) * 8;
        large.mouse_down(B::kLeft, x, y);
        large.mouse_up(B::kLeft);
    }
    link.unit.glyphs().large_bank[0].replace(0, 3, "FFF");
    large.read_number();
    EXPECT_EQ(working(kLarge).substr(0, 3), "FFF");
    ASSERT_TRUE(large.undo());  // the read first
    EXPECT_NE(working(kLarge).substr(0, 3), "FFF");
    int undone = 1;
    while (large.undo()) ++undone;
    EXPECT_EQ(undone, 61);
    EXPECT_EQ(working(kLarge), std::string(576, '0'));
}

// A glyph copied in one editor pastes into any number of an editor of its size, also after the editor
// was closed and opened again; into another size it is refused with a notice.
TEST_F(GlyphEditorTest, CopyAndPasteAWholeGlyphOnlyIntoItsOwnSize) {
    using B = GlyphEditorController::Button;
    GlyphEditorController* ed = &editor(kMedium);
    EXPECT_EQ(ed->paste_glyph(), GlyphEditorController::Paste::kNothingCopied);
    ed->mouse_down(B::kLeft, 40, 40);
    ed->mouse_up(B::kLeft);
    const std::string drawn = working(kMedium);
    ed->copy_glyph();
    ed->close();

    tool.glyphs.current_slot = 42;
    ed = &editor(kMedium);
    EXPECT_EQ(working(kMedium), std::string(256, '0'));
    ASSERT_EQ(ed->paste_glyph(), GlyphEditorController::Paste::kPasted);
    EXPECT_EQ(working(kMedium), drawn);
    EXPECT_EQ(slot(kMedium, 42), drawn);
    EXPECT_EQ(slot(kMedium, 0), drawn);
    ASSERT_TRUE(ed->undo());
    EXPECT_EQ(slot(kMedium, 42), std::string(256, '0'));
    ed->close();

    ed = &editor(kSmall);
    const std::string before = working(kSmall);
    EXPECT_EQ(ed->paste_glyph(), GlyphEditorController::Paste::kOtherSize);
    EXPECT_EQ(working(kSmall), before);
    EXPECT_EQ(notices.texts("warning"),
              std::vector<std::string>{"コピーした外字は中文字です。\n小文字の外字には貼り付けられません。"});
}

TEST_F(GlyphEditorTest, RegisterAsksFirstAndSendsTheWorkingGlyphUnderTheChosenNumber) {
    GlyphEditorController& small = editor(kSmall);
    small.select_number(199);
    small.set_dot(40, 40, true);
    notices.answers = {false};
    small.register_glyph();
    EXPECT_TRUE(link.lines.empty());
    small.register_glyph();
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 6), "GRS200");
    EXPECT_EQ(link.unit.glyphs().small_bank[199].substr(0, 144), working(kSmall));
    EXPECT_EQ(notices.texts("auto").size(), 2u);

    const GlyphModel before = tool.glyphs;
    small.create_other_sizes();  // neither a medium nor a large number 200 exists
    EXPECT_EQ(tool.glyphs.medium_bank, before.medium_bank);
    EXPECT_EQ(tool.glyphs.large_bank, before.large_bank);
    EXPECT_EQ(notices.texts("sizes").size(), 1u);
}

TEST_F(GlyphEditorTest, OpeningLoadsTheSlotAndNamesTheSelectedUnit) {
    tool.model.run.hidden_entry_count = 4;
    tool.config.link_interface = 0;
    tool.config.rs_control = 1;
    tool.model.run.slave_address = 12;
    GlyphEditorController& medium = editor(kMedium);
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_TRUE(medium.slave_address().enabled);
    EXPECT_EQ(medium.slave_address().selected, 12);
    medium.select_slave_address(32);
    EXPECT_EQ(tool.model.run.slave_address, 32);
    tool.config.select_number = -1;
    EXPECT_EQ(medium.window_title("10.0.0.5"), "外字登録（中文字）の設定");
    tool.config.select_number = 3;
    EXPECT_EQ(medium.window_title("10.0.0.5"), "外字登録（中文字）の設定 10.0.0.5");
    EXPECT_TRUE(tool.glyphs.redraw_editor);
    controller.reset();  // an editor that goes away leaves no redraw request behind
    EXPECT_FALSE(tool.glyphs.redraw_editor);
}

}  // namespace
}  // namespace tvx
