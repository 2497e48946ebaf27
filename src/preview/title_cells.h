#pragma once

#include <QString>
#include <string_view>
#include <vector>

namespace tvx {

// One cell of a title as the monitor shows it: a character (full width, or half width for a single-byte
// character), or a user-defined glyph cell, which names a bank slot (-1 for a code that names none, such
// as a line break's cell: an empty cell on the monitor).
struct TitleCell {
    enum class Kind { kChar, kGlyph };
    Kind kind = Kind::kChar;
    QString text;        // kChar: the character
    int slot = -1;       // kGlyph
    bool half = false;   // a single-byte character: half a cell wide
    bool blank = false;  // nothing to draw (a space of either width)
};

// The title's Shift JIS bytes as cells, in order. A zero byte where a cell starts ends the title, as the
// unit reads it; the spaces that fill a title up at its end are left out, so a short title is only as long
// as what it shows. A lead byte at the very end stands alone as a half-width cell.
std::vector<TitleCell> title_cells(std::string_view title);

}  // namespace tvx
