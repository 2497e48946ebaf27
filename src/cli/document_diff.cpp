#include "cli/document_diff.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include "cli/glyph_offline.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_compare.h"
#include "model/settings_document.h"

namespace tvx {
namespace {

constexpr char kPrefix[] = "tvx230-cli: ";

bool read_strictly(const std::string& path, SettingsModel& model, Console& console) {
    std::string bytes;
    if (!read_input_file(path, bytes)) {
        console.message(std::string(kPrefix) + std::string(kCantFileOpen) + " (" + path + ")");
        return false;
    }
    if (auto problem = read_document_strict(model, bytes)) {
        console.message(std::string(kPrefix) + path + ": not a whole settings document: line " +
                        std::to_string(problem->line) + ": " + problem->what);
        return false;
    }
    return true;
}

// Titles are kept as the unit's Shift JIS bytes; the terminal reads UTF-8.
std::string as_utf8(const std::string& text, bool shift_jis) {
    if (!shift_jis) return text;
    QStringDecoder decode("windows-31j");
    if (!decode.isValid()) return text;
    const QString decoded = decode(QByteArray::fromStdString(text));
    return decoded.toStdString();
}

}  // namespace

int diff_documents(const std::string& path_a, const std::string& path_b, std::ostream& out,
                   Console& console) {
    SettingsModel a;
    SettingsModel b;
    reset_settings(a);
    reset_settings(b);
    if (!read_strictly(path_a, a, console) || !read_strictly(path_b, b, console)) return 1;
    const std::vector<SettingDifference> differences = compare_settings(a, b);
    for (const SettingDifference& d : differences) {
        out << d.where << '\t' << d.setting << '\t' << as_utf8(d.value_a, d.values_are_shift_jis) << '\t'
            << as_utf8(d.value_b, d.values_are_shift_jis) << '\n';
    }
    out.flush();
    return differences.empty() ? 0 : 1;
}

}  // namespace tvx
