#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/settings_model.h"
#include "protocol/command_link.h"

namespace tvx {

// The unit shows a title as 224 cells, each a JIS X 0208 code or the code of a user-defined glyph. In the
// model a title is Shift JIS bytes with a length (glyph cells may hold zero bytes), two bytes a cell.
inline constexpr int kTitleCells = 224;
inline constexpr std::size_t kTitleBytes = 448;
inline constexpr std::uint16_t kIdeographicSpace = 0x2121;  // the filler cell's code
inline constexpr std::uint16_t kLineBreakCell = 0x0D0A;     // CR LF typed in a title
inline constexpr std::uint16_t kLineBreakCode = 0xA04F;     // what the unit is sent for it
inline constexpr std::uint16_t kFirstGlyphCell = 0x1000;
inline constexpr std::uint16_t kLastGlyphCell = 0x1339;
inline constexpr std::uint16_t kGlyphCellOffset = 0x9345;  // glyph code = glyph cell + offset
inline constexpr std::string_view kTitleRefused = "ＪＩＳ第１水準,第２水準以外の字が選択されてます";

using TitleCodes = std::array<std::uint16_t, kTitleCells>;

// The 224 codes of a title, filled up with ideographic spaces. No codes when the title is longer than
// 448 bytes, has an odd length, or holds a cell the unit cannot show (a half-width character, a
// user-defined character, an IBM extension without NEC-selected equivalent, a control cell other than a
// line break).
std::optional<TitleCodes> encode_title(std::string_view title);

// The unit's code of one cell, or 0 when it has none.
std::uint16_t title_cell_code(std::uint16_t cell);

// The cell of one code received from the unit, or 0 for a code that names no character.
std::uint16_t title_code_cell(std::uint16_t code);

// The title of a sequence of codes: trailing ideographic spaces dropped, the title ending at the first
// code that names no character.
std::string decode_title_codes(const TitleCodes& codes);

// "CA" pp + 224 codes + CR LF for page (0..63), or no line when the title is refused.
std::optional<std::string> build_title_command(std::string_view title, int page);
std::string build_title_command(const TitleCodes& codes, int page);

// Encodes the page's title and sends its CA line. False, with nothing sent, when the title is refused;
// the caller shows kTitleRefused with notify_warning (and, inside a batch, raises error_reply).
bool send_title(const SettingsModel& model, CommandLink& link, int page);

// A CA data line ("CA" pp + 896 hexadecimal digits) from the unit: rewrites the title of the page it
// names. A page number outside 01 to 64, or a line too short for 224 codes, changes nothing; a code that
// is not four hexadecimal digits ends the title there. Returns whether a title was written.
bool decode_title(SettingsModel& model, std::string_view line);

// The codes of a CA line, for the same checks as decode_title. Page index in page.
bool parse_title_line(std::string_view line, int& page, TitleCodes& codes);

}  // namespace tvx
