#include "editors/per_page_editor.h"

#include "protocol/command_builders.h"

namespace tvx {
namespace {

int selection_in(std::span<const std::string_view> items, int value) {
    return value >= 0 && value < static_cast<int>(items.size()) ? value : -1;
}

}  // namespace

PerPageEditor::PerPageEditor(ToolState& tool, CommandLink& link, const PerPageEditorForm& form)
    : tool_(tool), link_(link), form_(form) {}

int PerPageEditor::open_editor() {
    editor_opened(tool_);
    return preview_.opened();
}

std::string PerPageEditor::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, form_.caption, form_.title_text, selected_address);
}

std::vector<std::string> PerPageEditor::page_items() {
    std::vector<std::string> items;
    items.reserve(kPageCount);
    for (int page = 1; page <= kPageCount; ++page) items.push_back(two_digits(page));
    return items;
}

std::vector<std::string> PerPageEditor::value_items(int value) const {
    if (!valid_value(value)) return {};
    const auto& items = form_.values[static_cast<std::size_t>(value)].items;
    return {items.begin(), items.end()};
}

int PerPageEditor::current_page() const {
    const int page = tool_.model.run.current_page;
    return page >= 0 && page < kPageCount ? page : 0;
}

int PerPageEditor::page_selection() const {
    return current_page();
}

int PerPageEditor::value_selection(int value) const {
    if (!valid_value(value)) return -1;
    const PerPageValue& v = form_.values[static_cast<std::size_t>(value)];
    return selection_in(v.items, tool_.model.pages[static_cast<std::size_t>(current_page())].*v.field);
}

int PerPageEditor::all_pages_selection(int value) const {
    if (!valid_value(value)) return -1;
    const PerPageValue& v = form_.values[static_cast<std::size_t>(value)];
    return selection_in(v.items, tool_.model.memory.*v.memory);
}

void PerPageEditor::select_page(int index) {
    if (index < 0 || index >= kPageCount) return;
    tool_.model.run.current_page = index;
}

void PerPageEditor::select_value(int value, int index) {
    if (!valid_value(value)) return;
    const PerPageValue& v = form_.values[static_cast<std::size_t>(value)];
    if (selection_in(v.items, index) < 0) return;
    tool_.model.pages[static_cast<std::size_t>(current_page())].*v.field = index;
}

void PerPageEditor::select_all_pages(int value, int index) {
    if (!valid_value(value)) return;
    const PerPageValue& v = form_.values[static_cast<std::size_t>(value)];
    if (selection_in(v.items, index) < 0) return;
    tool_.model.memory.*v.memory = index;
    for (PageSettings& page : tool_.model.pages) page.*v.field = index;
}

void PerPageEditor::select_slave_address(int index) {
    if (index < 0 || index > kBroadcastAddress) return;
    tool_.model.run.slave_address = index;
}

void PerPageEditor::send_page() {
    link_.send_command(build_page_command(tool_.model, form_.command, current_page()));
}

void PerPageEditor::send_all_pages() {
    link_.send_command(build_all_pages_command(tool_.model, form_.command));
}

std::string_view PerPageEditor::word(const PerPageValue& value, const PageSettings& page) const {
    const int index = selection_in(value.words, page.*value.field);
    return index < 0 ? value.unknown_word : value.words[static_cast<std::size_t>(index)];
}

std::vector<PreviewLine> PerPageEditor::draw_preview() const {
    std::vector<PreviewLine> lines;
    if (form_.layout == PreviewLayout::kColourRows) {
        const int first = current_page() / kColourPreviewPages * kColourPreviewPages;
        lines.push_back({80, 1, std::string(kColourPreviewHeader)});
        for (int i = 0; i < kColourPreviewPages; ++i) {
            const PageSettings& page = tool_.model.pages[static_cast<std::size_t>(first + i)];
            std::string text = "Page " + two_digits(first + i + 1) + " = ";
            for (int v = 0; v < form_.value_count; ++v)
                text += word(form_.values[static_cast<std::size_t>(v)], page);
            lines.push_back({20, 20 + 23 * i, std::move(text)});
        }
        return lines;
    }
    const int first = current_page() / kPreviewPages * kPreviewPages;
    for (int i = 0; i < kPreviewPages; ++i) {
        const PageSettings& page = tool_.model.pages[static_cast<std::size_t>(first + i)];
        std::string text = "P" + two_digits(first + i + 1);
        if (form_.gap_after_page) text += ' ';
        text += word(form_.values[0], page);
        lines.push_back({20 + 130 * (i / 8), 10 + 23 * (i % 8), std::move(text)});
    }
    return lines;
}

}  // namespace tvx
