#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editors/editor_frame.h"
#include "editors/per_page_editor_form.h"
#include "editors/per_page_preview.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"

namespace tvx {

// One per-page setting editor: a page selector, a value selector for the page (two for the colours),
// the all-pages selectors, the slave address selector, the page and all-pages sends, and the preview of
// a group of pages. Picking a value changes the model at once; only the send buttons send.
class PerPageEditor {
  public:
    static constexpr int kPreviewPages = 32;
    static constexpr int kColourPreviewPages = 8;

    PerPageEditor(ToolState& tool, CommandLink& link, const PerPageEditorForm& form);

    const PerPageEditorForm& form() const { return form_; }

    // Resets the hidden-entry count and makes the first preview due; returns the preview timer's period.
    int open_editor();
    std::string window_title(std::string_view selected_address) const;

    static std::vector<std::string> page_items();  // "01" to "64"
    std::vector<std::string> value_items(int value) const;
    // Selections to show; -1 for none (a value outside the list, as a document written elsewhere may hold).
    int page_selection() const;
    int value_selection(int value) const;
    int all_pages_selection(int value) const;
    SlaveSelector slave_address() const { return slave_selector(tool_); }

    void select_page(int index);
    void select_value(int value, int index);
    void select_all_pages(int value, int index);
    void select_slave_address(int index);

    void send_page();
    void send_all_pages();

    // The preview of the group of pages that holds the current page, in drawing order.
    std::vector<PreviewLine> draw_preview() const;
    DeferredPreview& preview() { return preview_; }

  private:
    int current_page() const;
    bool valid_value(int value) const { return value >= 0 && value < form_.value_count; }
    std::string_view word(const PerPageValue& value, const PageSettings& page) const;

    ToolState& tool_;
    CommandLink& link_;
    const PerPageEditorForm& form_;
    DeferredPreview preview_;
};

}  // namespace tvx
