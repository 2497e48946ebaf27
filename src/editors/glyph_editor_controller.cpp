#include "editors/glyph_editor_controller.h"

#include "glyphs/glyph_store.h"
#include "glyphs/glyph_text.h"
#include "glyphs/size_conversion.h"
#include "protocol/command_builders.h"
#include "protocol/command_senders.h"

namespace tvx {
namespace {

constexpr GlyphEditorForm kLargeEditor{
    kLarge, "外字登録設定（大文字）", "外字登録（大文字）の設定 ", 10, 8, 22, 481, 20, 387, 2};
constexpr GlyphEditorForm kMediumEditor{
    kMedium, "外字登録（中文字）の設定", "外字登録（中文字）の設定 ", 15, 12, 27, 476, 24, 383, 3};
constexpr GlyphEditorForm kSmallEditor{
    kSmall, "外字登録（小文字）の設定", "外字登録（小文字）の設定 ", 20, 16, 32, 471, 28, 379, 3};

std::string number_text(int number, int digits) {
    std::string text = std::to_string(number);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

}  // namespace

const GlyphEditorForm& glyph_editor_form(const GlyphSize& size) {
    switch (size.index) {
        case 0:
            return kLargeEditor;
        case 1:
            return kMediumEditor;
        default:
            return kSmallEditor;
    }
}

GlyphEditorController::GlyphEditorController(ToolState& tool, Notices& notices, CommandLink& link,
                                             GlyphQuestions& questions, GlyphEditorMemory& memory,
                                             const GlyphSize& size)
    : tool_(tool),
      notices_(notices),
      link_(link),
      questions_(questions),
      memory_(memory),
      size_(size),
      form_(glyph_editor_form(size)) {}

GlyphEditorController::~GlyphEditorController() {
    // The glyph store must never call into an editor that is gone.
    if (open_) tool_.glyphs.redraw_editor = nullptr;
}

int GlyphEditorController::open_editor() {
    load_working_glyph(tool_.glyphs, size_);
    editor_opened(tool_);
    tool_.glyphs.redraw_editor = [this] {
        // A glyph read from the unit is a step of its own, unless it came in the middle of a stroke.
        if (!stroke_active()) settle();
        if (on_redraw_) on_redraw_();
    };
    open_ = true;
    settled_ = current_state();
    return redraw_.opened();
}

void GlyphEditorController::close() {
    tool_.glyphs.glyph_reply_pending = 0;
    if (open_) tool_.glyphs.redraw_editor = nullptr;
    open_ = false;
    drawing_ = false;
    erasing_ = false;
}

std::string GlyphEditorController::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, form_.caption, form_.title_prefix, selected_address);
}

std::vector<std::string> GlyphEditorController::number_items() const {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(size_.slot_count));
    for (int n = 1; n <= size_.slot_count; ++n) items.push_back(number_text(n, form_.number_digits));
    return items;
}

int GlyphEditorController::number_selection() const {
    const int slot = tool_.glyphs.current_slot;
    return slot >= 0 && slot < size_.slot_count ? slot : -1;
}

void GlyphEditorController::select_number(int index) {
    if (index < 0 || index >= size_.slot_count) return;
    settle();
    tool_.glyphs.current_slot = index;
    // Choosing a number changes no glyph: the next step starts from the new number.
    settled_ = current_state();
}

void GlyphEditorController::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

void GlyphEditorController::sample_changed(std::string_view field) {
    // The field is read with room for two bytes: one double-byte character, or two single-byte ones.
    memory_.sample_text = field.size() >= 2 ? std::string(field.substr(0, 2)) : std::string();
}

bool GlyphEditorController::in_range(int x, int y) const {
    return x >= form_.x_min && x <= form_.x_max && y >= form_.y_min && y <= form_.y_max;
}

bool GlyphEditorController::set_dot(int x, int y, bool on) {
    // Client coordinates arrive as signed 16-bit values, as the pointer messages carry them.
    x = static_cast<std::int16_t>(x);
    y = static_cast<std::int16_t>(y);
    if (!in_range(x, y)) return false;
    const int w = form_.cell_width;
    const int h = form_.cell_height;
    const int digit = (x - kGlyphGridOrigin) / (4 * w) + ((y - kGlyphGridOrigin) / h) * size_.digits_per_row;
    const int dot = ((x - kGlyphGridOrigin) / w) % 4;
    std::string& buffer = tool_.glyphs.glyph_buffer;
    if (buffer.size() < static_cast<std::size_t>(size_.digits))
        buffer.resize(static_cast<std::size_t>(size_.digits), '0');
    char& cell = buffer[static_cast<std::size_t>(digit)];
    const int before = glyph_digit_value(cell);
    const int bit = 8 >> dot;
    const char after = glyph_digit_char(on ? before | bit : before & ~bit);
    const bool changed = after != cell;
    cell = after;
    store_working_glyph(tool_.glyphs, size_);
    return changed;
}

bool GlyphEditorController::mouse_down(Button button, int x, int y) {
    memory_.glyph_edited = 1;
    if (!stroke_active()) settle();
    if (button == Button::kLeft) {
        const bool changed = set_dot(x, y, true);
        drawing_ = true;
        return changed;
    }
    const bool changed = set_dot(x, y, false);
    erasing_ = true;
    return changed;
}

void GlyphEditorController::mouse_up(Button button) {
    if (button == Button::kLeft) {
        drawing_ = false;
    } else {
        erasing_ = false;
    }
    // The stroke ends when the last button is released.
    if (!stroke_active()) settle();
}

bool GlyphEditorController::mouse_move(int x, int y) {
    bool changed = false;
    // Only the dot under the pointer: nothing is filled in between two pointer positions.
    if (drawing_) changed |= set_dot(x, y, true);
    if (erasing_) changed |= set_dot(x, y, false);
    return changed;
}

bool GlyphEditorController::clear_buffer() {
    if (tool_.glyphs.glyph_reply_pending != 0) return false;
    if (memory_.glyph_edited != 0 && !questions_.confirm_clear()) return false;
    std::string& buffer = tool_.glyphs.glyph_buffer;
    if (buffer.size() < static_cast<std::size_t>(size_.digits))
        buffer.resize(static_cast<std::size_t>(size_.digits));
    settle();
    buffer.replace(0, static_cast<std::size_t>(size_.digits), static_cast<std::size_t>(size_.digits), '0');
    memory_.glyph_edited = 0;
    store_working_glyph(tool_.glyphs, size_);
    settle();
    return true;
}

std::string GlyphEditorController::working_digits() const {
    std::string digits = tool_.glyphs.glyph_buffer.substr(0, static_cast<std::size_t>(size_.digits));
    digits.resize(static_cast<std::size_t>(size_.digits), '0');
    return digits;
}

GlyphEditState GlyphEditorController::current_state() const {
    GlyphEditState state;
    state.slot = tool_.glyphs.current_slot;
    state.working = working_digits();
    const auto& bank = glyph_bank(tool_.glyphs, size_);
    if (state.slot >= 0 && static_cast<std::size_t>(state.slot) < bank.size()) {
        state.slot_digits =
            bank[static_cast<std::size_t>(state.slot)].substr(0, static_cast<std::size_t>(size_.digits));
    }
    return state;
}

void GlyphEditorController::settle() {
    const GlyphEditState now = current_state();
    history_.record(settled_, now);
    settled_ = now;
}

void GlyphEditorController::restore(const GlyphEditState& state) {
    GlyphModel& glyphs = tool_.glyphs;
    glyphs.current_slot = state.slot;
    std::string& buffer = glyphs.glyph_buffer;
    if (buffer.size() < state.working.size()) buffer.resize(state.working.size(), '0');
    buffer.replace(0, state.working.size(), state.working);
    auto& bank = glyph_bank(glyphs, size_);
    if (state.slot >= 0 && static_cast<std::size_t>(state.slot) < bank.size()) {
        std::string& held = bank[static_cast<std::size_t>(state.slot)];
        if (held.size() < state.slot_digits.size()) held.resize(state.slot_digits.size(), '0');
        if (held.compare(0, state.slot_digits.size(), state.slot_digits) != 0) {
            held.replace(0, state.slot_digits.size(), state.slot_digits);
            set_bank_modified(glyphs, size_, true);
        }
    }
}

bool GlyphEditorController::undo() {
    if (stroke_active()) return false;
    // A change not yet recorded (a read that came in meanwhile) is undone first.
    settle();
    const std::optional<GlyphEditState> state = history_.undo();
    if (!state) return false;
    restore(*state);
    settled_ = current_state();
    return true;
}

bool GlyphEditorController::redo() {
    if (stroke_active()) return false;
    settle();
    const std::optional<GlyphEditState> state = history_.redo();
    if (!state) return false;
    restore(*state);
    settled_ = current_state();
    return true;
}

void GlyphEditorController::copy_glyph() {
    memory_.copied_glyph = {size_.index, working_digits()};
}

GlyphEditorController::Paste GlyphEditorController::paste_glyph() {
    const GlyphEditorMemory::CopiedGlyph& copied = memory_.copied_glyph;
    if (copied.size_index < 0) return Paste::kNothingCopied;
    if (copied.size_index != size_.index || copied.digits.size() != static_cast<std::size_t>(size_.digits)) {
        const std::string_view from =
            copied.size_index < 3 ? kGlyphSizes[copied.size_index]->name : std::string_view("別の大きさ");
        notices_.notify_warning("コピーした外字は" + std::string(from) + "です。\n" +
                                std::string(size_.name) + "の外字には貼り付けられません。");
        return Paste::kOtherSize;
    }
    settle();
    restore({tool_.glyphs.current_slot, copied.digits, copied.digits});
    memory_.glyph_edited = 1;
    settle();
    return Paste::kPasted;
}

void GlyphEditorController::create_other_sizes() {
    tvx::create_other_sizes(tool_.glyphs, size_, notices_);
}

void GlyphEditorController::register_glyph() {
    send_working_glyph(tool_.glyphs, size_, link_, notices_);
}

void GlyphEditorController::read_number() {
    send_glyph_read(tool_.glyphs, size_, glyph_code(tool_.glyphs.current_slot), link_, notices_, true);
}

void GlyphEditorController::read_sample() {
    send_sample_read(tool_.glyphs, size_, memory_.sample_text, link_, notices_);
}

RgbImage GlyphEditorController::grid_image() const {
    RgbImage image(kGlyphGridWidth, kGlyphGridHeight, kDarkOutline);
    draw_glyph_dots(image, tool_.glyphs.glyph_buffer, size_, form_.cell_width, form_.cell_height);
    return image;
}

bool GlyphEditorController::dot_lit(int x, int y) const {
    return glyph_dot(tool_.glyphs.glyph_buffer, size_, x, y);
}

}  // namespace tvx
