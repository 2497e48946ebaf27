#include "cli/json_text.h"

#include <QByteArray>
#include <QString>
#include <cstdio>

#include "link/code_page_932.h"

namespace tvx {
namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0.
std::size_t utf8_sequence(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) return 1;
    std::size_t length = 0;
    unsigned int value = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2;
        value = first & 0x1Fu;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        value = first & 0x0Fu;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        value = first & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i) & 0x3Fu);
    }
    // Over-long forms, surrogates and values beyond Unicode are not valid.
    static constexpr unsigned int kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        const std::size_t length = utf8_sequence(text);
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        const char c = text.front();
        if (length > 1) {
            out.append(text.substr(0, length));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            out += escape;
        } else {
            out += c;
        }
        text.remove_prefix(length);
    }
    return out + "\"";
}

std::string shift_jis_as_utf8(const std::string& text) {
    const CodePage932Text decoded =
        decode_code_page_932(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!decoded.available) return text;
    return decoded.text.toStdString();
}

}  // namespace tvx
