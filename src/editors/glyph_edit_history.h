#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tvx {

// What undo puts back in a glyph editor: the working glyph and the slot it is stored into, with that
// slot's digits (which differ from the working glyph after another number was chosen and before the
// next dot stored it there).
struct GlyphEditState {
    int slot = 0;
    std::string working;
    std::string slot_digits;
    bool operator==(const GlyphEditState&) const = default;
};

// The undo and redo steps of one glyph editor while it is open. A step goes from one state to another;
// a new step throws away what was undone. The oldest steps give way beyond kDepth.
class GlyphEditHistory {
  public:
    static constexpr std::size_t kDepth = 100;

    // Records a step; nothing when the two states are the same.
    void record(const GlyphEditState& before, const GlyphEditState& after);
    // The state to go back to, or nothing when there is no step to undo.
    std::optional<GlyphEditState> undo();
    // The state to go forward to again, or nothing.
    std::optional<GlyphEditState> redo();

    bool can_undo() const { return !done_.empty(); }
    bool can_redo() const { return !undone_.empty(); }
    std::size_t undo_steps() const { return done_.size(); }

  private:
    struct Step {
        GlyphEditState before;
        GlyphEditState after;
    };
    std::deque<Step> done_;
    std::vector<Step> undone_;
};

}  // namespace tvx
