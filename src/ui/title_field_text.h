#pragma once

#include <QChar>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/shift_jis_text.h"

namespace tvx {

// How the title field shows a stored title. Every character of the field stands for the exact bytes
// it came from, so whatever the operator leaves alone is stored back byte for byte:
// - a glyph cell 0x1000 + n (a user-defined glyph on the unit) is the private-use character U+F000 + n,
//   one character the operator can move or delete but not lose by accident;
// - CR LF is a line break;
// - a Shift JIS character is itself;
// - a byte that is no character (a stray control byte, a broken pair) is U+F600 + byte, so it too comes
//   back as it was, and is refused when the title is sent.
// The blocks lie above the code page's own user-defined characters (U+E000 to U+E757).
inline constexpr char16_t kFirstGlyphChar = 0xF000;
inline constexpr char16_t kFirstRawByteChar = 0xF600;

using TitleFieldChar = FieldChar;
using TitleFieldChars = FieldChars;

// A stored title as the field's characters; their bytes, joined, are the title (stored_bytes).
TitleFieldChars title_field_chars(std::string_view title);

// The bytes a character typed or pasted into the field stands for, an ordinary character in its code
// page 932 form (shift_jis_text.h): none for a character code page 932 cannot hold (the title would
// change without the operator seeing it).
std::optional<std::string> typed_char_bytes(QChar c);

bool is_glyph_char(QChar c);

// What a marked character of the field stands for, as its tooltip says: "外字 001 (A365)" names the
// registration number and the unit's code of a glyph; a byte that is no character is named as such.
// Empty for an ordinary character.
QString field_char_note(QChar c);
bool is_raw_byte_char(QChar c);

}  // namespace tvx
