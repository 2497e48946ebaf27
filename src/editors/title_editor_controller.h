#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "editors/editor_frame.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "protocol/title_send_sequence.h"

namespace tvx {

inline constexpr std::string_view kTitleEditorCaption = "タイトルの設定";
inline constexpr std::string_view kTitleEditorTitleText = "タイトルの設定 ";
// The field holds at most this many Shift JIS bytes: 224 cells.
inline constexpr std::size_t kTitleFieldLimit = 448;

// The title editor "タイトルの設定": the title of each page as Shift JIS bytes, the one-page send and the
// all-pages send. The view converts the field's text at its boundary and hands bytes in and out.
class TitleEditorController {
  public:
    TitleEditorController(ToolState& tool, CommandLink& link, Notices& notices);

    // Opening: resets the hidden entry's count. Then the view fills its lists and shows title().
    void open();
    static std::vector<std::string> page_items();  // "01" to "64"
    SlaveSelector slave_selector() const { return tvx::slave_selector(tool_); }
    std::string window_title(std::string_view selected_address) const;
    int current_page() const { return tool_.model.run.current_page; }

    // The current page's stored title, glyph cells and all: the view shows every cell as a character of
    // its own, so editing elsewhere in the title never loses one.
    const std::string& title() const;

    // A completed page selection: the page becomes current_page (shared with the per-page editors).
    void select_page(int index);
    void select_slave_address(int index);

    // Every change the operator makes to the field, as Shift JIS bytes: stored in the current page's
    // title, and the document marked modified. False (nothing stored) past the field's limit, so the
    // view keeps the text it had.
    bool edit_title(std::string_view bytes);

    // "ページ設定": the current page's title. Nothing while a sequence runs.
    void send_page();

    // "全設定": true when the all-pages send runs and the view should start its timer.
    bool start_send_all();
    // The send-all timer's interval at the pace chosen under "インターフェイス".
    int send_all_tick_ms() const;
    // One tick of the view's timer; false once the send has ended.
    bool tick();
    bool running() const { return sequence_.running(); }
    bool fast() const { return fast_pace(tool_); }
    // 中止: the send ends at its next tick; the titles sent stay sent and the progress stays.
    bool stop() { return sequence_.stop(); }
    const TitleSendSequence& sequence() const { return sequence_; }
    int progress() const { return progress_; }
    const std::string& percentage() const { return percentage_; }

    // Close: refused while the send runs. The field is stored once more only when the operator changed
    // it: merely viewing a title leaves the stored bytes (and the document's modified mark) alone.
    bool close();

  private:
    ToolState& tool_;
    CommandLink& link_;
    Notices& notices_;
    TitleSendSequence sequence_;
    bool field_changed_ = false;  // since the current page was shown
    std::string field_;           // the field's bytes as last stored
    int progress_ = 0;
    std::string percentage_;
};

}  // namespace tvx
