#pragma once

#include <string>
#include <string_view>

#include "config/notices.h"
#include "glyphs/glyph_model.h"

namespace tvx {

// What Exit asks when banks hold glyphs no bank file has. Yes leaves them; No goes back.
inline constexpr std::string_view kExitWithoutBanksQuestion = "外字を保存せずに終了しますか？";
// What New asks before it blanks the banks.
inline constexpr std::string_view kNewWithoutBanksQuestion = "外字を保存せずに新規作成しますか？";

// The question that names the unsaved banks by their lists, then asks `question`; empty when every
// bank is saved.
std::string unsaved_banks_question(const GlyphModel& glyphs, std::string_view question);

// Asks before unsaved glyphs are thrown away. True when nothing is unsaved or the operator answers Yes.
bool confirm_discard_unsaved_banks(const GlyphModel& glyphs, Notices& notices, std::string_view question);

}  // namespace tvx
