#include "preview/title_cells.h"

#include "link/code_page_932.h"
#include "protocol/command_builders.h"

namespace tvx {
namespace {

bool is_lead_byte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// A glyph cell's value (first byte 0x10 to 0x13 in practice) is at most 0x1339; other control bytes pair
// up the same way on the unit (a line break is the cell 0x0D0A), so they take a whole cell too.
constexpr unsigned char kLastCellControl = 0x1F;
constexpr unsigned kLastGlyphValue = 0x1339;
constexpr unsigned kGlyphCodeOffset = 0x9345;

}  // namespace

std::vector<TitleCell> title_cells(std::string_view title) {
    std::vector<TitleCell> cells;
    const auto decode = [](QByteArrayView bytes) { return decode_code_page_932(bytes).text; };
    std::size_t i = 0;
    while (i < title.size()) {
        const auto b = static_cast<unsigned char>(title[i]);
        if (b == 0) break;
        TitleCell cell;
        const bool pair = i + 1 < title.size();
        if (b <= kLastCellControl && pair) {
            const unsigned value = (unsigned{b} << 8) | static_cast<unsigned char>(title[i + 1]);
            cell.kind = TitleCell::Kind::kGlyph;
            cell.slot = value <= kLastGlyphValue
                            ? glyph_slot(static_cast<std::uint16_t>(value + kGlyphCodeOffset))
                            : -1;
            cell.blank = cell.slot < 0;
            i += 2;
        } else if (is_lead_byte(b) && pair) {
            cell.text = decode(QByteArrayView(title.data() + i, 2));
            cell.blank = cell.text == QStringLiteral("\u3000");
            i += 2;
        } else {
            cell.text = decode(QByteArrayView(title.data() + i, 1));
            cell.half = true;
            cell.blank = b == ' ' || b < 0x20;
            i += 1;
        }
        cells.push_back(std::move(cell));
    }
    while (!cells.empty() && cells.back().blank) cells.pop_back();
    return cells;
}

}  // namespace tvx
