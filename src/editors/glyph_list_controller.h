#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "editors/editor_frame.h"
#include "editors/glyph_editor_memory.h"
#include "editors/per_page_preview.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_bank_file.h"
#include "glyphs/glyph_model.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// The file dialogs of the glyph lists; the desktop tool shows the standard dialogs, tests script them.
class GlyphListDialogs : public GlyphQuestions {
  public:
    // "ファイルのオープン" with the filters "<filter_text>" (pattern) and "すべて(*.*)"; an existing file.
    virtual std::optional<std::filesystem::path> ask_open_path(std::string_view filter_text,
                                                               std::string_view pattern) = 0;
    // "ファイルの保存" with the same filters; the dialog asks about overwriting the name as chosen.
    virtual std::optional<std::filesystem::path> ask_save_path(std::string_view filter_text,
                                                               std::string_view pattern) = 0;
    // The bitmap save dialog: its title, the default name, filters "データ(*.bmp)" and "すべて(*.*)".
    virtual std::optional<std::filesystem::path> ask_bitmap_path(std::string_view title,
                                                                 std::string_view default_name) = 0;
    // Asked when the extension was appended to the chosen name and a file of the longer name exists.
    virtual bool confirm_overwrite(const std::filesystem::path& path) = 0;
};

// What sets the three lists apart.
struct GlyphListForm {
    const GlyphSize& size;
    std::string_view caption;
    std::string_view title_prefix;
    int columns;                     // cells per row; two rows a page
    int groups;                      // pages
    std::string_view file_filter;    // "データ(*.tll)"
    std::string_view file_pattern;   // "*.tll"
    std::string_view bitmap_prefix;  // "gl"
    int number_digits;               // in the bitmap's title and name
};

const GlyphListForm& glyph_list_form(const GlyphSize& size);

inline constexpr std::string_view kOpenQuestion = "データを保存せずに別のファイルを開きますか？";
// A read from the unit replaces every slot of the bank, so unsaved glyphs of that bank are asked about.
inline constexpr std::string_view kReadQuestion = "データを保存せずにユニットから読み込みますか？";

// The cell a point of the list's client area hits: column i when 12 + 114·i ≤ x ≤ 106 + 114·i, first row
// when 10 < y ≤ 105, second when 157 < y ≤ 252. -1 for none.
int glyph_cell_at(int x, int y, int columns);

// A glyph list (外字一覧) of one size: thumbnails of one page of the bank, bank files, whole-bank read
// and registration with the unit, the editor on a double-clicked cell and bitmap export of a cell.
class GlyphListController {
  public:
    GlyphListController(ToolState& tool, Notices& notices, CommandLink& link, GlyphListDialogs& dialogs,
                        GlyphEditorMemory& memory, const GlyphSize& size);
    ~GlyphListController();
    GlyphListController(const GlyphListController&) = delete;
    GlyphListController& operator=(const GlyphListController&) = delete;

    const GlyphListForm& form() const { return form_; }
    const GlyphSize& size() const { return form_.size; }

    // Clears the working glyph, brings current_group into range and resets the hidden-entry count;
    // returns the redraw timer's period.
    int open();
    // Ends a running transfer and clears the pending glyph read.
    void close();
    DeferredPreview& redraw() { return redraw_; }

    std::string window_title(std::string_view selected_address) const;
    std::vector<std::string> group_items() const;
    int group() const { return memory_.current_group; }
    SlaveSelector slave_address() const { return slave_selector(tool_); }
    void select_group(int index);
    void select_slave_address(int index);

    int cells_per_page() const { return 2 * form_.columns; }
    int cell_slot(int cell) const;           // slot of a cell of the page shown
    std::string cell_label(int cell) const;  // "No.37"
    RgbImage cell_image(int cell, RgbColour background) const;

    // The buttons. Each does nothing while a transfer runs. Those that change the bank return true
    // when the thumbnails must be drawn again. Clearing and opening ask first when the bank holds
    // unsaved glyphs; opening takes only a whole bank file of the size and refuses anything else with
    // a notice naming the file and the line at fault.
    bool clear_bank();
    bool open_file();
    void save();
    void save_as();
    // Start a transfer; true when it runs (start the sequence timer with sequence_interval_ms()).
    bool read_all();
    bool register_all();

    bool sequence_running() const { return sequence_ && sequence_->running(); }
    // 中止: the transfer ends at its next tick; glyphs read or registered stay so, the progress stays.
    bool stop_sequence() { return sequence_ && sequence_->stop(); }
    // The last transfer started, null before the first.
    const PacedSequence* sequence() const { return sequence_.get(); }
    bool fast() const { return fast_pace(tool_); }
    // "外字一覧（大文字） リード" or "... 登録", for the status line of the transfer.
    std::string sequence_caption(bool reading) const;
    int sequence_interval_ms() const { return interval_ms_; }
    // One tick of the sequence timer. False once the transfer has ended: stop the timer, draw again.
    bool sequence_tick();
    int progress_maximum() const { return form_.size.slot_count + 2; }
    int progress_value() const { return progress_; }
    const std::string& percent_text() const { return percent_; }

    // Double clicks at a point of the list's client area. A left one on a cell chooses its glyph
    // (current_slot) and returns true: open the editor. Ignored while a transfer runs, so that an editor
    // can never store into the slot the transfer has reached.
    bool left_double_click(int x, int y);
    // A right one exports the cell's picture, drawn off screen exactly as shown, as a bitmap file; it
    // only reads the bank, so it works while a transfer runs.
    void right_double_click(int x, int y, RgbColour background);
    void export_bitmap(int cell, RgbColour background);

  private:
    bool transfer_running() const { return tool_.glyphs.bank_sequence_active != 0; }
    bool start(std::unique_ptr<PacedSequence> sequence, int interval_ms);
    std::filesystem::path& bank_file_path() {
        return memory_.bank_file_path[static_cast<std::size_t>(form_.size.index)];
    }
    bool write_to(const std::filesystem::path& path);

    ToolState& tool_;
    Notices& notices_;
    CommandLink& link_;
    GlyphListDialogs& dialogs_;
    GlyphEditorMemory& memory_;
    const GlyphListForm& form_;
    DeferredPreview redraw_;
    std::unique_ptr<PacedSequence> sequence_;
    int interval_ms_ = 0;
    int progress_ = 0;
    std::string percent_;
};

}  // namespace tvx
