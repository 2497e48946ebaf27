#include "editors/document_commands.h"

#include <filesystem>

#include "config/file_extension.h"
#include "config/input_file.h"
#include "config/path_text.h"
#include "config/recent_files.h"
#include "config/safe_file.h"
#include "glyphs/unsaved_banks.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

constexpr char kCantOpen[] = "Can't file open";

std::string fault_text(DocumentFault fault) {
    switch (fault) {
        case DocumentFault::kEnded:
            return "設定がありません";
        case DocumentFault::kNotANumber:
            return "数値ではありません";
        case DocumentFault::kOutOfRange:
            return "設定できる範囲を超えています";
        case DocumentFault::kTitleTooLong:
            return "タイトルが長すぎます";
        case DocumentFault::kExtraValues:
            return "設定の数より多くの値があります";
    }
    return {};
}

// New and Open wait while a paced sequence owns the model or the glyph banks.
bool sequence_running(const ToolState& tool) {
    return tool.model.run.batch_step != 0 || tool.glyphs.bank_sequence_active != 0;
}

}  // namespace

bool read_document_file(const std::filesystem::path& path, SettingsModel& model, Notices& notices,
                        DocumentUse use) {
    const std::string name = path_to_utf8(path.filename());
    std::string bytes;
    switch (read_input_file(path, bytes).status) {
        case InputFileStatus::kRead:
            break;
        case InputFileStatus::kCannotOpen:
        case InputFileStatus::kNotFound:
        case InputFileStatus::kPermissionDenied:
            notices.notify_warning(kCantOpen);
            return false;
        case InputFileStatus::kNotAFile:
            notices.notify_warning(name +
                                   " は通常のファイルではないため、設定ファイルとして読み込めません。");
            return false;
        case InputFileStatus::kTooLarge:
            notices.notify_warning(name + " は大きすぎるため、設定ファイルとして読み込めません。");
            return false;
    }
    const DocumentReading reading = read_document_checked(model, bytes);
    if (reading.refused) {
        notices.notify_warning(name + " は設定ファイルではありません。\n" +
                               std::to_string(reading.refused->line) +
                               "行目: " + fault_text(reading.refused->fault));
        return false;
    }
    if (reading.read_to_line != 0) {
        notices.show_box(name + " は " + std::to_string(reading.read_to_line) + " 行目で終わっています。\n" +
                             (use == DocumentUse::kOpen ? "それより後の設定は変わっていません。"
                                                        : "それより後の設定は比較していません。"),
                         "TVX-230", BoxIcon::kExclamation);
    }
    return true;
}

std::filesystem::path DocumentCommands::with_dat_extension(const std::filesystem::path& name) {
    return path_with_extension(name, ".dat");
}

void DocumentCommands::document_new() {
    if (sequence_running(tool_)) return;
    if (data_modified(tool_.model) && !notices_.ask_yes_no("データを保存せずに新規作成しますか？")) return;
    // New blanks the glyph banks as well.
    if (!confirm_discard_unsaved_banks(tool_.glyphs, notices_, kNewWithoutBanksQuestion)) return;
    reset_settings(tool_);
}

bool DocumentCommands::may_replace_document() {
    return !data_modified(tool_.model) || notices_.ask_yes_no("データを保存せずに別のファイルを開きますか？");
}

void DocumentCommands::open_path(const std::filesystem::path& path) {
    if (!read_document_file(path, tool_.model, notices_, DocumentUse::kOpen)) return;
    tool_.document_path = path;
    remember_recent_file(tool_.config, path_to_utf8(path));
}

void DocumentCommands::document_open() {
    if (sequence_running(tool_)) return;
    if (!may_replace_document()) return;
    const std::optional<std::filesystem::path> path = dialogs_.ask_open_path();
    if (path) open_path(*path);
}

void DocumentCommands::document_open_recent(const std::string& path) {
    if (sequence_running(tool_)) return;
    // Asked before the question about unsaved settings: there is nothing to open that it could be for.
    // Only a file that is surely gone is dropped; one that cannot be looked at now (a folder on a server
    // not reachable) stays, and opening it tells why.
    std::error_code ec;
    const std::filesystem::path file = path_from_utf8(path);
    if (std::filesystem::status(file, ec).type() == std::filesystem::file_type::not_found) {
        forget_recent_file(tool_.config, path);
        notices_.notify_warning(path + " が見つかりません。\n最近使ったファイルの一覧から外しました。");
        return;
    }
    if (may_replace_document()) open_path(file);
}

bool DocumentCommands::write_to(const std::filesystem::path& path) {
    if (!write_file_replacing(path, write_document(tool_.model))) {
        notices_.notify_warning(kCantOpen);
        return false;
    }
    mark_document_saved(tool_.model);
    remember_recent_file(tool_.config, path_to_utf8(path));
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
    const std::optional<std::filesystem::path> chosen = dialogs_.ask_save_path();
    if (!chosen || chosen->empty()) return false;
    const std::filesystem::path path = with_dat_extension(*chosen);
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
