#include "cli/document_diff.h"

#include "cli/cli_notices.h"
#include "cli/glyph_offline.h"
#include "cli/json_text.h"
#include "config/path_text.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_compare.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

constexpr char kPrefix[] = "tvx230-cli: ";

// Titles are kept as the unit's Shift JIS bytes; the terminal reads UTF-8.
std::string as_utf8(const std::string& text, bool shift_jis) {
    // A title may hold line breaks and other control bytes: one difference stays one line.
    return terminal_text(shift_jis ? shift_jis_as_utf8(text) : text);
}

}  // namespace

bool read_document_file(const std::string& path, SettingsModel& model, Console& console) {
    std::string bytes;
    if (const InputFileRead read = read_input_file(path_from_utf8(path), bytes); !read) {
        console.message(std::string(kPrefix) + input_file_refusal(path, read.status));
        return false;
    }
    return read_document_text(path, bytes, model, console);
}

bool read_document_text(const std::string& path, const std::string& bytes, SettingsModel& model,
                        Console& console) {
    if (starts_with_byte_order_mark(bytes)) {
        console.message(std::string(kPrefix) + byte_order_mark_refusal(path, "a settings document"));
        return false;
    }
    if (auto problem = read_document_strict(model, bytes)) {
        console.message(std::string(kPrefix) + path + ": not a whole settings document: line " +
                        std::to_string(problem->line) + ": " + problem->what);
        return false;
    }
    return true;
}

int diff_documents(const std::string& path_a, const std::string& path_b, std::ostream& out,
                   Console& console) {
    SettingsModel a;
    SettingsModel b;
    reset_settings(a);
    reset_settings(b);
    if (!read_document_file(path_a, a, console) || !read_document_file(path_b, b, console)) return 1;
    const std::vector<SettingDifference> differences = compare_settings(a, b);
    print_differences(out, differences, {});
    out.flush();
    return differences.empty() ? 0 : 1;
}

int show_document(const std::string& path, std::ostream& out, Console& console) {
    SettingsModel model;
    reset_settings(model);
    if (!read_document_file(path, model, console)) return 1;
    for (const SettingDifference& s : list_settings(model))
        out << s.where << '\t' << s.setting << '\t' << as_utf8(s.value_a, s.values_are_shift_jis) << '\n';
    out.flush();
    return 0;
}

void print_differences(std::ostream& out, const std::vector<SettingDifference>& differences,
                       std::string_view prefix) {
    for (const SettingDifference& d : differences) {
        out << prefix << d.where << '\t' << d.setting << '\t' << as_utf8(d.value_a, d.values_are_shift_jis)
            << '\t' << as_utf8(d.value_b, d.values_are_shift_jis) << '\n';
    }
}

}  // namespace tvx
