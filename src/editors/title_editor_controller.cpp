#include "editors/title_editor_controller.h"

#include "protocol/title_encoding.h"

namespace tvx {

TitleEditorController::TitleEditorController(ToolState& tool, CommandLink& link, Notices& notices)
    : tool_(tool), link_(link), notices_(notices), sequence_(tool, link, notices) {}

void TitleEditorController::open() {
    editor_opened(tool_);
    if (tool_.model.run.current_page < 0 || tool_.model.run.current_page >= kPageCount) {
        tool_.model.run.current_page = 0;
    }
    field_changed_ = false;
}

std::vector<std::string> TitleEditorController::page_items() {
    std::vector<std::string> items;
    for (int page = 1; page <= kPageCount; ++page) {
        items.push_back({static_cast<char>('0' + page / 10), static_cast<char>('0' + page % 10)});
    }
    return items;
}

std::string TitleEditorController::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, kTitleEditorCaption, kTitleEditorTitleText, selected_address);
}

const std::string& TitleEditorController::title() const {
    return tool_.model.pages[static_cast<std::size_t>(current_page())].title;
}

void TitleEditorController::select_page(int index) {
    if (index < 0 || index >= kPageCount) return;
    tool_.model.run.current_page = index;
    field_changed_ = false;
}

void TitleEditorController::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

bool TitleEditorController::edit_title(std::string_view bytes) {
    if (bytes.size() > kTitleFieldLimit) return false;
    field_.assign(bytes);
    field_changed_ = true;
    tool_.model.pages[static_cast<std::size_t>(current_page())].title = field_;
    return true;
}

void TitleEditorController::send_page() {
    send_page_title(tool_, link_, notices_, current_page());
}

bool TitleEditorController::start_send_all() {
    if (!sequence_.start()) return false;
    progress_ = 0;
    return true;
}

int TitleEditorController::send_all_tick_ms() const {
    return pace_tick_ms(tool_, kTitleSendTickMs);
}

bool TitleEditorController::tick() {
    const int sent = sequence_.steps_sent();
    const PacedSequence::State state = sequence_.tick();
    if (sequence_.steps_sent() != sent) {
        progress_ = sequence_.steps_sent();
        percentage_ = std::to_string(sequence_.percent());
    }
    if (state == PacedSequence::State::kRunning) return true;
    // Complete, or ended by a refused title: the progress is cleared. An error reply from the unit leaves
    // it shown.
    if (state == PacedSequence::State::kCompleted || sequence_.refused_page() >= 0) {
        progress_ = 0;
        percentage_ = "  ";
    }
    return false;
}

bool TitleEditorController::close() {
    if (running() || tool_.model.run.batch_step != 0) return false;
    if (field_changed_) tool_.model.pages[static_cast<std::size_t>(current_page())].title = field_;
    return true;
}

}  // namespace tvx
