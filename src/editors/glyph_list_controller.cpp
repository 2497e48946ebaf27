#include "editors/glyph_list_controller.h"

#include <filesystem>
#include <system_error>

#include "config/file_extension.h"
#include "config/path_text.h"
#include "glyphs/glyph_bank_file.h"
#include "protocol/glyph_bank_sequences.h"

namespace tvx {
namespace {

constexpr GlyphListForm kLargeList{
    kLarge, "外字一覧（大文字）", "外字一覧（大文字） ", 7, 5, "データ(*.tll)", "*.tll", "gl", 2};
constexpr GlyphListForm kMediumList{
    kMedium, "外字一覧（中文字）", "外字一覧（中文字） ", 8, 10, "データ(*.tlm)", "*.tlm", "gm", 3};
constexpr GlyphListForm kSmallList{
    kSmall, "外字一覧（小文字）", "外字一覧（小文字） ", 8, 16, "データ(*.tls)", "*.tls", "gs", 3};

std::string padded(int number, int width, char pad) {
    std::string text = std::to_string(number);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), pad);
    return text;
}

// The name of a file as the notices show it: without its folders.
std::string display_name(const std::filesystem::path& path) {
    const std::filesystem::path name = path.filename();
    return path_to_utf8(name.empty() ? path : name);
}

bool file_exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace

const GlyphListForm& glyph_list_form(const GlyphSize& size) {
    switch (size.index) {
        case 0:
            return kLargeList;
        case 1:
            return kMediumList;
        default:
            return kSmallList;
    }
}

int glyph_cell_at(int x, int y, int columns) {
    int row = -1;
    if (y > 10 && y <= 105) row = 0;
    if (y > 157 && y <= 252) row = 1;
    if (row < 0) return -1;
    for (int i = 0; i < columns; ++i) {
        if (x >= 12 + 114 * i && x <= 106 + 114 * i) return i + row * columns;
    }
    return -1;
}

GlyphListController::GlyphListController(ToolState& tool, Notices& notices, CommandLink& link,
                                         GlyphListDialogs& dialogs, GlyphEditorMemory& memory,
                                         const GlyphSize& size)
    : tool_(tool),
      notices_(notices),
      link_(link),
      dialogs_(dialogs),
      memory_(memory),
      form_(glyph_list_form(size)) {}

GlyphListController::~GlyphListController() {
    close();
}

int GlyphListController::open() {
    tool_.glyphs.glyph_buffer.assign(kGlyphBufferLength, '0');
    if (memory_.current_group < 0 || memory_.current_group >= form_.groups) memory_.current_group = 0;
    editor_opened(tool_);
    return redraw_.opened();
}

void GlyphListController::close() {
    if (sequence_) sequence_->cancel();
    tool_.glyphs.glyph_reply_pending = 0;
    tool_.glyphs.bank_sequence_active = 0;
    progress_ = 0;
    percent_.clear();
}

std::string GlyphListController::window_title(std::string_view selected_address) const {
    return editor_window_title(tool_, form_.caption, form_.title_prefix, selected_address);
}

std::vector<std::string> GlyphListController::group_items() const {
    const int width = form_.size.index == kLarge.index ? 2 : 3;
    std::vector<std::string> items;
    for (int g = 0; g < form_.groups; ++g) {
        const int first = g * cells_per_page() + 1;
        items.push_back("No." + padded(first, width, ' ') + "～" +
                        padded(first + cells_per_page() - 1, width, ' '));
    }
    return items;
}

void GlyphListController::select_group(int index) {
    if (index >= 0 && index < form_.groups) memory_.current_group = index;
}

void GlyphListController::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

int GlyphListController::cell_slot(int cell) const {
    return memory_.current_group * cells_per_page() + cell;
}

std::string GlyphListController::cell_label(int cell) const {
    return "No." + std::to_string(cell_slot(cell) + 1);
}

RgbImage GlyphListController::cell_image(int cell, RgbColour background) const {
    const int slot = cell_slot(cell);
    const auto& bank = glyph_bank(tool_.glyphs, form_.size);
    const std::string_view text = slot >= 0 && slot < static_cast<int>(bank.size())
                                      ? std::string_view(bank[static_cast<std::size_t>(slot)])
                                      : "";
    return glyph_cell_image(text, form_.size, kGlyphCellSize, kGlyphCellSize, background);
}

bool GlyphListController::clear_bank() {
    if (transfer_running() || tool_.glyphs.glyph_reply_pending != 0) return false;
    // Unsaved glyphs of this bank are asked about as a drawing is, whether drawn, read or converted.
    const bool unsaved = memory_.glyph_edited != 0 || bank_modified(tool_.glyphs, form_.size);
    if (unsaved && !dialogs_.confirm_clear()) return false;
    for (std::string& slot : glyph_bank(tool_.glyphs, form_.size)) {
        slot.assign(static_cast<std::size_t>(form_.size.text_length), '0');
    }
    set_bank_modified(tool_.glyphs, form_.size, false);
    bank_file_path().clear();
    memory_.glyph_edited = 0;
    return true;
}

bool GlyphListController::open_file() {
    if (transfer_running() || tool_.glyphs.glyph_reply_pending != 0 || tool_.model.run.batch_step != 0)
        return false;
    // Only this bank's own unsaved glyphs are at stake here; unsaved titles are not.
    if (bank_modified(tool_.glyphs, form_.size) && !notices_.ask_yes_no(kOpenQuestion)) return false;
    const std::optional<std::filesystem::path> path = dialogs_.ask_open_path(form_.file_filter, form_.file_pattern);
    if (!path) return false;
    // Only a whole bank file of this size is taken; anything else leaves the bank and its file as they
    // were, so a later 保存 cannot overwrite a file that was never a bank.
    std::string text;
    const InputFileRead read = read_input_file(*path, text);
    if (cannot_open(read.status)) {
        notices_.notify_warning(kCantFileOpen);
        return false;
    }
    const std::string name = display_name(*path);
    if (!read) {
        notices_.notify_warning(bank_file_unreadable(name, form_.size, read.status));
        return false;
    }
    if (const auto problem = read_bank_text_checked(tool_.glyphs, form_.size, text)) {
        notices_.notify_warning(bank_file_refusal(name, form_.size, *problem));
        return false;
    }
    set_bank_modified(tool_.glyphs, form_.size, false);
    bank_file_path() = *path;
    return true;
}

bool GlyphListController::write_to(const std::filesystem::path& path) {
    if (!write_bank_file(tool_.glyphs, form_.size, path)) {
        notices_.notify_error(kCantFileOpen);
        return false;
    }
    return true;
}

void GlyphListController::save() {
    if (transfer_running() || tool_.glyphs.glyph_reply_pending != 0) return;
    if (bank_file_path().empty()) {
        notices_.notify_warning(kDontFileOpen);
        return;
    }
    write_to(bank_file_path());
}

void GlyphListController::save_as() {
    if (transfer_running() || tool_.glyphs.glyph_reply_pending != 0) return;
    const std::optional<std::filesystem::path> chosen = dialogs_.ask_save_path(form_.file_filter, form_.file_pattern);
    if (!chosen || chosen->empty()) return;
    const std::filesystem::path path = path_with_extension(*chosen, form_.size.extension);
    if (path != *chosen && file_exists(path) && !dialogs_.confirm_overwrite(path)) return;
    if (write_to(path)) bank_file_path() = path;
}

bool GlyphListController::start(std::unique_ptr<PacedSequence> sequence, int interval_ms) {
    if (!sequence->start()) return false;
    sequence_ = std::move(sequence);
    interval_ms_ = pace_tick_ms(tool_, interval_ms);
    progress_ = 0;
    percent_ = bank_progress_text(0, form_.size.slot_count);
    return true;
}

bool GlyphListController::read_all() {
    if (transfer_running()) return false;
    if (bank_modified(tool_.glyphs, form_.size) && !notices_.ask_yes_no(kReadQuestion)) return false;
    return start(std::make_unique<GlyphBankRead>(tool_, form_.size, link_, notices_),
                 bank_read_tick_ms(form_.size));
}

bool GlyphListController::register_all() {
    if (transfer_running()) return false;
    if (!notices_.confirm_not_auto_switching()) return false;
    return start(std::make_unique<GlyphBankRegister>(tool_, form_.size, link_, notices_),
                 kBankRegisterTickMs);
}

std::string GlyphListController::sequence_caption(bool reading) const {
    return std::string(form_.caption) + (reading ? " リード" : " 登録");
}

bool GlyphListController::sequence_tick() {
    if (!sequence_) return false;
    const PacedSequence::State state = sequence_->tick();
    if (state == PacedSequence::State::kRunning) {
        // The bar moves on every tick, waiting or not; past its end it starts again.
        progress_ = progress_ >= progress_maximum() ? 1 : progress_ + 1;
        percent_ = bank_progress_text(tool_.glyphs.current_slot, form_.size.slot_count);
        return true;
    }
    // A transfer stopped by the unit, the link or the operator keeps its progress, so the operator sees
    // where.
    if (state == PacedSequence::State::kStopped || state == PacedSequence::State::kInterrupted) return false;
    progress_ = 0;
    percent_ = "   ";
    return false;
}

bool GlyphListController::left_double_click(int x, int y) {
    if (transfer_running()) return false;
    const int cell = glyph_cell_at(x, y, form_.columns);
    if (cell < 0) return false;
    tool_.glyphs.current_slot = cell_slot(cell);
    return true;
}

void GlyphListController::right_double_click(int x, int y, RgbColour background) {
    // Exporting only reads the bank, so it works while a transfer runs (within export_bitmap's rule).
    const int cell = glyph_cell_at(x, y, form_.columns);
    if (cell >= 0) export_bitmap(cell, background);
}

void GlyphListController::export_bitmap(int cell, RgbColour background) {
    const RgbImage image = cell_image(cell, background);
    if (tool_.glyphs.glyph_reply_pending != 0) return;
    const std::string number = padded(cell_slot(cell) + 1, form_.number_digits, '0');
    const std::string title = std::string(form_.size.name) + "外字登録番号" + number + "をbmpファイルで保存";
    const std::string name = std::string(form_.bitmap_prefix) + number + ".bmp";
    const std::optional<std::filesystem::path> chosen = dialogs_.ask_bitmap_path(title, name);
    if (!chosen || chosen->empty()) return;
    const std::filesystem::path path = path_with_extension(*chosen, ".bmp");
    if (path != *chosen && file_exists(path) && !dialogs_.confirm_overwrite(path)) return;
    if (!write_bitmap_file(path, image)) {
        notices_.notify_error(kCantFileOpen);
        return;
    }
    memory_.bitmap_path = path;
}

}  // namespace tvx
