#include "glyphs/unsaved_banks.h"

namespace tvx {

std::string unsaved_banks_question(const GlyphModel& glyphs, std::string_view question) {
    std::string lists;
    for (const GlyphSize* size : unsaved_banks(glyphs)) {
        if (!lists.empty()) lists += "、";
        lists += "外字一覧（" + std::string(size->name) + "）";
    }
    if (lists.empty()) return {};
    return lists + "の外字が保存されていません。\n" + std::string(question);
}

bool confirm_discard_unsaved_banks(const GlyphModel& glyphs, Notices& notices, std::string_view question) {
    const std::string text = unsaved_banks_question(glyphs, question);
    return text.empty() || notices.ask_yes_no(text);
}

}  // namespace tvx
