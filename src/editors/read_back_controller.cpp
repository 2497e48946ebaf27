#include "editors/read_back_controller.h"

#include "protocol/read_back_sequence.h"

namespace tvx {

UnitSequenceController::UnitSequenceController(ToolState& tool, std::unique_ptr<PacedSequence> sequence,
                                               Definition definition)
    : tool_(tool), sequence_(std::move(sequence)), definition_(definition) {}

void UnitSequenceController::open() {
    editor_opened(tool_);
}

std::vector<std::string> UnitSequenceController::slave_items() const {
    std::vector<std::string> items = slave_address_items();
    if (!definition_.broadcast_entry) items.pop_back();
    return items;
}

SlaveSelector UnitSequenceController::slave_selector() const {
    SlaveSelector selector = tvx::slave_selector(tool_);
    if (selector.selected >= static_cast<int>(slave_items().size())) selector.selected = -1;
    return selector;
}

std::string UnitSequenceController::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, definition_.caption, definition_.caption, selected_address);
}

void UnitSequenceController::select_slave_address(int index) {
    if (index >= 0 && index < static_cast<int>(slave_items().size())) tool_.model.run.slave_address = index;
}

void UnitSequenceController::replace_sequence(std::unique_ptr<PacedSequence> sequence, int progress_range) {
    if (running()) return;
    sequence_ = std::move(sequence);
    definition_.progress_range = progress_range;
    progress_ = 0;
}

bool UnitSequenceController::start() {
    if (!sequence_->start()) return false;
    progress_ = 0;
    return true;
}

UnitSequenceController::Outcome UnitSequenceController::tick() {
    const int sent = sequence_->steps_sent();
    const PacedSequence::State state = sequence_->tick();
    if (sequence_->steps_sent() != sent) {
        progress_ = sequence_->steps_sent();
        percentage_ = std::to_string(sequence_->percent());
    }
    switch (state) {
        case PacedSequence::State::kRunning:
            return Outcome::kRunning;
        case PacedSequence::State::kCompleted:
            progress_ = 0;
            percentage_ = std::string(definition_.cleared_percentage);
            return Outcome::kCompleted;
        default:
            // The progress stays as it was, so the operator sees where the unit refused or where
            // the run was stopped.
            return Outcome::kStopped;
    }
}

std::unique_ptr<UnitSequenceController> make_read_back_controller(ToolState& tool, CommandLink& link,
                                                                  Notices& notices) {
    auto sequence = std::make_unique<ReadBackSequence>(tool, link, notices);
    sequence->tell_unread_on_error_stop();
    return std::make_unique<UnitSequenceController>(
        tool, std::move(sequence),
        UnitSequenceController::Definition{kReadBackCaption, "読み込み", false, kReadBackProgressRange,
                                           kReadBackTickMs, "   "});
}

}  // namespace tvx
