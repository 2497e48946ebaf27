#include "ui/title_field_text.h"

#include "link/code_page_932.h"
#include "protocol/command_builders.h"
#include "protocol/title_encoding.h"
#include "ui/shift_jis_text.h"

namespace tvx {
namespace {

bool is_lead_byte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The one character of a single or double byte sequence, or none when the bytes are not exactly one
// character of the code page.
std::optional<QChar> code_page_char(std::string_view bytes) {
    const CodePage932Text decoded =
        decode_code_page_932(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!decoded.available || decoded.error || decoded.text.size() != 1) return std::nullopt;
    const QString& text = decoded.text;
    const QChar c = text[0];
    if (c == QChar::ReplacementCharacter || c.isSurrogate() || c.unicode() < 0x20 || c.unicode() == 0x7F ||
        is_glyph_char(c) || is_raw_byte_char(c)) {
        return std::nullopt;
    }
    return c;
}

}  // namespace

bool is_glyph_char(QChar c) {
    return c.unicode() >= kFirstGlyphChar &&
           c.unicode() <= kFirstGlyphChar + (kLastGlyphCell - kFirstGlyphCell);
}

bool is_raw_byte_char(QChar c) {
    return c.unicode() >= kFirstRawByteChar && c.unicode() <= kFirstRawByteChar + 0xFF;
}

QString field_char_note(QChar c) {
    if (is_raw_byte_char(c)) {
        return QStringLiteral("文字ではないバイト %1")
            .arg(c.unicode() - kFirstRawByteChar, 2, 16, QLatin1Char('0'))
            .toUpper();
    }
    if (!is_glyph_char(c)) return {};
    const auto code =
        static_cast<std::uint16_t>(kFirstGlyphCell + (c.unicode() - kFirstGlyphChar) + kGlyphCellOffset);
    const QString hex = QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
    const int slot = glyph_slot(code);
    if (slot < 0) return QStringLiteral("外字 (%1)").arg(hex);
    return QStringLiteral("外字 %1 (%2)").arg(slot + 1, 3, 10, QLatin1Char('0')).arg(hex);
}

TitleFieldChars title_field_chars(std::string_view title) {
    TitleFieldChars chars;
    for (std::size_t i = 0; i < title.size();) {
        const auto first = static_cast<unsigned char>(title[i]);
        const unsigned second = i + 1 < title.size() ? static_cast<unsigned char>(title[i + 1]) : 0x100;
        const unsigned cell = first << 8 | second;
        if (second <= 0xFF && cell >= kFirstGlyphCell && cell <= kLastGlyphCell) {
            chars.push_back({QChar(static_cast<char16_t>(kFirstGlyphChar + (cell - kFirstGlyphCell))),
                             std::string(title.substr(i, 2))});
            i += 2;
            continue;
        }
        if (cell == kLineBreakCell) {
            chars.push_back({QLatin1Char('\n'), std::string(title.substr(i, 2))});
            i += 2;
            continue;
        }
        if (second <= 0xFF && is_lead_byte(first)) {
            if (const std::optional<QChar> c = code_page_char(title.substr(i, 2))) {
                chars.push_back({*c, std::string(title.substr(i, 2))});
                i += 2;
                continue;
            }
        } else if (!is_lead_byte(first)) {
            if (const std::optional<QChar> c = code_page_char(title.substr(i, 1))) {
                chars.push_back({*c, std::string(title.substr(i, 1))});
                ++i;
                continue;
            }
        }
        chars.push_back({QChar(static_cast<char16_t>(kFirstRawByteChar + first)), std::string(1, title[i])});
        ++i;
    }
    return chars;
}

std::optional<std::string> typed_char_bytes(QChar c) {
    if (is_glyph_char(c)) {
        const unsigned cell = kFirstGlyphCell + (c.unicode() - kFirstGlyphChar);
        return std::string{static_cast<char>(cell >> 8), static_cast<char>(cell & 0xFF)};
    }
    if (is_raw_byte_char(c)) return std::string(1, static_cast<char>(c.unicode() - kFirstRawByteChar));
    // A line break the operator types is the cell CR LF, whichever separator the field used.
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
        c == QChar::LineSeparator) {
        return std::string("\r\n");
    }
    return shift_jis_char(c);
}

}  // namespace tvx
