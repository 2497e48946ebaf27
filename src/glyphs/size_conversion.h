#pragma once

#include <string>
#include <string_view>

#include "config/notices.h"
#include "glyphs/glyph_model.h"

namespace tvx {

// Size conversion works mostly on whole digits (groups of four dots): the source is replicated onto a
// common grid of 96 rows by 24 digit positions and the target is sampled from it, then a few fix-ups keep
// thin strokes visible and the left and right edges blank. Small to large goes dot pattern by dot pattern
// instead, since sampling would only double each group.
//
// Writes rows 0 to dots - 2 of target (a glyph text of size `to`; a shorter text is padded with "0"); the
// last row of the target keeps what it held. Converting a size into itself copies those rows unchanged.
void convert_glyph_size(std::string_view source, const GlyphSize& from, std::string& target,
                        const GlyphSize& to);

// The large digit pair that one small digit becomes: a lone dot a centred pair, wider groups centred runs
// of four or six dots, a nearly full group a run of eight. 8 to D, whose leftmost dot is lit, give "1"
// followed by the digit itself.
std::string_view small_to_large_pair(char small_digit);

// Derives the two other sizes of the working glyph (the first digits of glyph_buffer, of the editor's
// size) into slot current_slot of their banks. A bank without that slot (large beyond 70, medium beyond
// 160) is skipped; a target bank whose slot changed is marked modified. Nothing else changes: not the
// working glyph, not the source slot.
void make_other_sizes(GlyphModel& glyphs, const GlyphSize& source_size);

// 他のサイズ作成: asks confirm_make_other_sizes first. Returns whether the conversion ran.
bool create_other_sizes(GlyphModel& glyphs, const GlyphSize& source_size, Notices& notices);

}  // namespace tvx
