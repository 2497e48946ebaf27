#include "editors/glyph_insert_controller.h"

#include <algorithm>
#include <array>

#include "protocol/command_builders.h"

namespace tvx {
namespace {

constexpr std::array<int, 3> kNumbers{70, 160, 256};
constexpr std::array<int, 3> kPositions{112, 168, 224};

std::vector<std::string> numbered(int count, int digits) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n) {
        std::string text = std::to_string(n);
        text.insert(0,
                    static_cast<std::size_t>(digits) -
                        std::min<std::size_t>(text.size(), static_cast<std::size_t>(digits)),
                    '0');
        items.push_back(std::move(text));
    }
    return items;
}

int in_list(int value, int count) {
    return value >= 0 && value < count ? value : -1;
}

}  // namespace

void GlyphInsertController::open() {
    editor_opened(tool_);
    // A number or position left over from another size (a list's double click, say) would be sent
    // while the box shows nothing: it starts at the first entry, as a change of size does.
    if (number_selection() < 0) tool_.glyphs.current_slot = 0;
    if (position_selection() < 0) memory_.insert_position = 0;
}

std::string GlyphInsertController::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, kGlyphInsertCaption, kGlyphInsertTitlePrefix, selected_address);
}

std::vector<std::string> GlyphInsertController::page_items() {
    return numbered(kPageCount, 2);
}

std::vector<std::string> GlyphInsertController::size_items() {
    return {"大", "中", "小"};
}

int GlyphInsertController::number_count() const {
    return kNumbers[static_cast<std::size_t>(size_selection())];
}

int GlyphInsertController::position_count() const {
    return kPositions[static_cast<std::size_t>(size_selection())];
}

std::vector<std::string> GlyphInsertController::number_items() const {
    return numbered(number_count(), 3);
}

std::vector<std::string> GlyphInsertController::position_items() const {
    return numbered(position_count(), 3);
}

int GlyphInsertController::page_selection() const {
    return in_list(tool_.model.run.current_page, kPageCount);
}

int GlyphInsertController::size_selection() const {
    const int size = memory_.insert_size;
    return size >= 0 && size < 3 ? size : 0;
}

int GlyphInsertController::number_selection() const {
    return in_list(tool_.glyphs.current_slot, number_count());
}

int GlyphInsertController::position_selection() const {
    return in_list(memory_.insert_position, position_count());
}

void GlyphInsertController::select_page(int index) {
    if (index >= 0 && index < kPageCount) tool_.model.run.current_page = index;
}

void GlyphInsertController::select_number(int index) {
    if (index >= 0 && index < number_count()) tool_.glyphs.current_slot = index;
}

void GlyphInsertController::select_position(int index) {
    if (index >= 0 && index < position_count()) memory_.insert_position = index;
}

void GlyphInsertController::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

bool GlyphInsertController::select_size(int index) {
    if (index < 0 || index >= 3 || index == memory_.insert_size) return false;
    memory_.insert_size = index;
    if (memory_.insert_position < 0 || memory_.insert_position >= position_count())
        memory_.insert_position = 0;
    if (tool_.glyphs.current_slot < 0 || tool_.glyphs.current_slot >= number_count())
        tool_.glyphs.current_slot = 0;
    return true;
}

void GlyphInsertController::send() {
    link_.send_command(
        build_glyph_insert(tool_.glyphs.current_slot, tool_.model.run.current_page, memory_.insert_position));
}

}  // namespace tvx
