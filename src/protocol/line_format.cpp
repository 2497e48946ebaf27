#include "protocol/line_format.h"

namespace tvx {

void append_digits(std::string& out, int value, int width) {
    if (value < 0) value = 0;
    std::string digits(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0; --i) {
        digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out += digits;
}

void append_hex4(std::string& out, std::uint16_t code) {
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int nibble = (code >> shift) & 0x0F;
        out += static_cast<char>(nibble < 10 ? '0' + nibble : nibble + 0x37);
    }
}

bool read_digits(std::string_view line, std::size_t pos, int width, int& value) {
    if (pos + static_cast<std::size_t>(width) > line.size()) return false;
    int result = 0;
    for (int i = 0; i < width; ++i) {
        const char c = line[pos + static_cast<std::size_t>(i)];
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    value = result;
    return true;
}

bool read_hex(std::string_view line, std::size_t pos, int width, int& value) {
    if (pos + static_cast<std::size_t>(width) > line.size()) return false;
    int result = 0;
    for (int i = 0; i < width; ++i) {
        const char c = line[pos + static_cast<std::size_t>(i)];
        int nibble = 0;
        if (c >= '0' && c <= '9') {
            nibble = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            nibble = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            nibble = c - 'a' + 10;
        } else {
            return false;
        }
        result = result * 16 + nibble;
    }
    value = result;
    return true;
}

std::string_view without_line_end(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace tvx
