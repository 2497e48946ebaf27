#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "editors/editor_frame.h"
#include "editors/glyph_edit_history.h"
#include "editors/glyph_editor_memory.h"
#include "editors/per_page_preview.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_model.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// What sets the three glyph editors apart.
struct GlyphEditorForm {
    const GlyphSize& size;
    std::string_view caption;       // the dialog's own caption
    std::string_view title_prefix;  // before the selected TCP unit's address
    int cell_width;
    int cell_height;
    int x_min;  // the pointer range that reaches a dot, in the editor's client pixels; the outermost ring
    int x_max;  // of dots lies outside it
    int y_min;
    int y_max;
    int number_digits;  // of the number selector's items
};

const GlyphEditorForm& glyph_editor_form(const GlyphSize& size);

// The grid's top-left corner in the editor's client pixels, and its size (the same for every glyph size).
inline constexpr int kGlyphGridOrigin = 12;
inline constexpr int kGlyphGridWidth = 480;
inline constexpr int kGlyphGridHeight = 384;

// The glyph editor (外字登録) of one size: draws the working glyph dot by dot, reads a registered glyph
// or a sample character of the unit's font into it, registers it, and derives the other sizes from it.
// Every dot change is stored into slot current_slot of the size's bank at once.
class GlyphEditorController {
  public:
    enum class Button { kLeft, kRight };

    GlyphEditorController(ToolState& tool, Notices& notices, CommandLink& link, GlyphQuestions& questions,
                          GlyphEditorMemory& memory, const GlyphSize& size);
    ~GlyphEditorController();
    GlyphEditorController(const GlyphEditorController&) = delete;
    GlyphEditorController& operator=(const GlyphEditorController&) = delete;

    const GlyphEditorForm& form() const { return form_; }

    // Loads slot current_slot into the working glyph, resets the hidden-entry count and has the glyph
    // store ask for redraws (on_redraw) while the editor is open; returns the redraw timer's period.
    int open_editor();
    // Clears the pending glyph read and stops the redraw requests; the list shows the glyph afterwards.
    void close();

    // Called when a glyph read back from the unit has been stored while the editor is open.
    void set_redraw_handler(std::function<void()> handler) { on_redraw_ = std::move(handler); }
    DeferredPreview& redraw() { return redraw_; }

    std::string window_title(std::string_view selected_address) const;
    std::vector<std::string> number_items() const;  // "01".."70" or "001".."160" / "001".."256"
    int number_selection() const;                   // current_slot, or -1 outside the list
    SlaveSelector slave_address() const { return slave_selector(tool_); }

    // Sets current_slot; the working glyph stays, so the next dot change and 登録 use the new number.
    void select_number(int index);
    void select_slave_address(int index);
    // The sample field changed; its Shift JIS bytes.
    void sample_changed(std::string_view field);

    // Pointer at (x, y) of the editor's client area to a dot: lights or darkens it when it lies in the
    // editable range, then stores the working glyph. True when the dot changed (redraw the grid).
    bool set_dot(int x, int y, bool on);
    // The mouse rules; each returns whether the grid changed.
    bool mouse_down(Button button, int x, int y);
    void mouse_up(Button button);
    bool mouse_move(int x, int y);
    bool drawing() const { return drawing_; }
    bool erasing() const { return erasing_; }

    // バッファクリア; true when the working glyph was cleared.
    bool clear_buffer();
    // 他のサイズ作成.
    void create_other_sizes();
    // 登録: the working glyph under number current_slot + 1, after the auto-switching question.
    void register_glyph();
    // リード of the number group and of the sample group.
    void read_number();
    void read_sample();

    // Undo and redo while the editor is open: a stroke (from a press to the release of the last button),
    // a clear, a paste and a glyph read from the unit are one step each. True when the working glyph
    // went back or forward (current_slot may have changed with it: show the number again).
    bool undo();
    bool redo();
    bool can_undo() const { return history_.can_undo() || current_state() != settled_; }
    bool can_redo() const { return history_.can_redo(); }

    // Copies the working glyph, for pasting into any slot of an editor of the same size.
    void copy_glyph();
    enum class Paste { kPasted, kNothingCopied, kOtherSize };
    // The copied glyph becomes the working glyph and is stored into slot current_slot. A glyph of
    // another size is refused with a notice.
    Paste paste_glyph();
    bool glyph_copied() const { return memory_.copied_glyph.size_index >= 0; }

    // The grid as drawn: 480 × 384 pixels, one cell per dot.
    RgbImage grid_image() const;
    bool dot_lit(int x, int y) const;

  private:
    bool in_range(int x, int y) const;
    std::string working_digits() const;
    GlyphEditState current_state() const;
    // Records whatever changed since the last settled state as one step.
    void settle();
    // Puts state in place (working glyph, current_slot and that slot); settles nothing.
    void restore(const GlyphEditState& state);
    bool stroke_active() const { return drawing_ || erasing_; }

    ToolState& tool_;
    Notices& notices_;
    CommandLink& link_;
    GlyphQuestions& questions_;
    GlyphEditorMemory& memory_;
    const GlyphSize& size_;
    const GlyphEditorForm& form_;
    DeferredPreview redraw_;
    std::function<void()> on_redraw_;
    bool drawing_ = false;
    bool erasing_ = false;
    bool open_ = false;
    GlyphEditHistory history_;
    GlyphEditState settled_;
};

}  // namespace tvx
