#include "protocol/title_encoding.h"

#include "protocol/line_format.h"
#include "protocol/shift_jis.h"

namespace tvx {

std::uint16_t title_cell_code(std::uint16_t cell) {
    if (cell == kLineBreakCell) return kLineBreakCode;
    if (cell >= kFirstGlyphCell && cell <= kLastGlyphCell)
        return static_cast<std::uint16_t>(cell + kGlyphCellOffset);
    if (cell < kFirstGlyphCell) return 0;
    return sjis_to_unit_code(cell);
}

std::uint16_t title_code_cell(std::uint16_t code) {
    if (code == kLineBreakCode) return kLineBreakCell;
    if (code >= kFirstGlyphCell + kGlyphCellOffset && code <= kLastGlyphCell + kGlyphCellOffset) {
        return static_cast<std::uint16_t>(code - kGlyphCellOffset);
    }
    if (code > 0x7C7E) return 0;
    return jis_to_sjis(code);
}

std::optional<TitleCodes> encode_title(std::string_view title) {
    if (title.size() > kTitleBytes || title.size() % 2 != 0) return std::nullopt;
    TitleCodes codes{};
    codes.fill(kIdeographicSpace);
    for (std::size_t k = 0; k < title.size() / 2; ++k) {
        const auto cell = static_cast<std::uint16_t>(static_cast<unsigned char>(title[2 * k]) << 8 |
                                                     static_cast<unsigned char>(title[2 * k + 1]));
        const std::uint16_t code = title_cell_code(cell);
        if (code == 0) return std::nullopt;
        codes[k] = code;
    }
    return codes;
}

std::string decode_title_codes(const TitleCodes& codes) {
    std::size_t end = codes.size();
    while (end > 0 && codes[end - 1] == kIdeographicSpace) --end;
    std::string title;
    title.reserve(end * 2);
    for (std::size_t k = 0; k < end; ++k) {
        const std::uint16_t cell = title_code_cell(codes[k]);
        if (cell == 0) break;
        title += static_cast<char>(cell >> 8);
        title += static_cast<char>(cell & 0xFF);
    }
    return title;
}

std::string build_title_command(const TitleCodes& codes, int page) {
    std::string out("CA");
    out.reserve(kTitleBytes * 2 + 8);
    append_digits(out, page + 1, 2);
    for (std::uint16_t code : codes) append_hex4(out, code);
    out += kLineEnd;
    return out;
}

std::optional<std::string> build_title_command(std::string_view title, int page) {
    const std::optional<TitleCodes> codes = encode_title(title);
    if (!codes) return std::nullopt;
    return build_title_command(*codes, page);
}

bool send_title(const SettingsModel& model, CommandLink& link, int page) {
    if (page < 0 || page >= kPageCount) return false;
    const std::optional<std::string> line =
        build_title_command(model.pages[static_cast<std::size_t>(page)].title, page);
    if (!line) return false;
    link.send_command(*line);
    return true;
}

bool parse_title_line(std::string_view line, int& page, TitleCodes& codes) {
    line = without_line_end(line);
    int number = 0;
    if (line.substr(0, 2) != "CA" || !read_digits(line, 2, 2, number) || number < 1 || number > kPageCount)
        return false;
    if (line.size() < 4 + kTitleBytes * 2) return false;
    page = number - 1;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        int code = 0;
        // A code that is not hexadecimal names no character, which ends the title.
        codes[k] = read_hex(line, 4 + 4 * k, 4, code) ? static_cast<std::uint16_t>(code) : 0;
    }
    return true;
}

bool decode_title(SettingsModel& model, std::string_view line) {
    int page = 0;
    TitleCodes codes{};
    if (!parse_title_line(line, page, codes)) return false;
    model.pages[static_cast<std::size_t>(page)].title = decode_title_codes(codes);
    return true;
}

}  // namespace tvx
