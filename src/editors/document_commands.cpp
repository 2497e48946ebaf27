#include "editors/document_commands.h"

#include <filesystem>

#include "config/safe_file.h"
#include "glyphs/unsaved_banks.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

constexpr char kCantOpen[] = "Can't file open";

// New and Open wait while a paced sequence owns the model or the glyph banks.
bool sequence_running(const ToolState& tool) {
    return tool.model.run.batch_step != 0 || tool.glyphs.bank_sequence_active != 0;
}

}  // namespace

std::string DocumentCommands::with_dat_extension(const std::string& name) {
    if (name.size() > 1 && name.find(".dat", 1) != std::string::npos) return name;
    return name + ".dat";
}

void DocumentCommands::document_new() {
    if (sequence_running(tool_)) return;
    if (tool_.model.run.data_modified == 1 && !notices_.ask_yes_no("データを保存せずに新規作成しますか？"))
        return;
    // New blanks the glyph banks as well.
    if (!confirm_discard_unsaved_banks(tool_.glyphs, notices_, kNewWithoutBanksQuestion)) return;
    reset_settings(tool_);
}

void DocumentCommands::document_open() {
    if (sequence_running(tool_)) return;
    if (tool_.model.run.data_modified == 1 &&
        !notices_.ask_yes_no("データを保存せずに別のファイルを開きますか？")) {
        return;
    }
    const std::optional<std::string> path = dialogs_.ask_open_path();
    if (!path) return;
    std::string bytes;
    if (!read_whole_file(*path, bytes)) {
        notices_.notify_warning(kCantOpen);
        return;
    }
    tool_.document_path = *path;
    read_document(tool_.model, bytes);
}

bool DocumentCommands::write_to(const std::string& path) {
    if (!write_file_replacing(path, write_document(tool_.model))) {
        notices_.notify_warning(kCantOpen);
        return false;
    }
    tool_.model.run.data_modified = 0;
    return true;
}

bool DocumentCommands::document_save() {
    if (tool_.document_path.empty()) {
        notices_.notify_warning("Don't file open");
        return false;
    }
    return write_to(tool_.document_path);
}

bool DocumentCommands::document_save_as() {
    const std::optional<std::string> chosen = dialogs_.ask_save_path();
    if (!chosen || chosen->empty()) return false;
    const std::string path = with_dat_extension(*chosen);
    std::error_code ec;
    if (path != *chosen && std::filesystem::exists(path, ec) && !dialogs_.confirm_overwrite(path))
        return false;
    if (!write_to(path)) return false;
    tool_.document_path = path;
    return true;
}

bool DocumentCommands::save_for_exit() {
    return tool_.document_path.empty() ? document_save_as() : document_save();
}

}  // namespace tvx
