#include "editors/glyph_edit_history.h"

namespace tvx {

void GlyphEditHistory::record(const GlyphEditState& before, const GlyphEditState& after) {
    if (before == after) return;
    undone_.clear();
    done_.push_back({before, after});
    if (done_.size() > kDepth) done_.pop_front();
}

std::optional<GlyphEditState> GlyphEditHistory::undo() {
    if (done_.empty()) return std::nullopt;
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return undone_.back().before;
}

std::optional<GlyphEditState> GlyphEditHistory::redo() {
    if (undone_.empty()) return std::nullopt;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return done_.back().after;
}

}  // namespace tvx
