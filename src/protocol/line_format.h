#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvx {

inline constexpr std::string_view kLineEnd = "\r\n";

// Appends value as width decimal digits, most significant first. Only the low width digits are written
// and a negative value is written as zeros, so a field never holds anything but digits.
void append_digits(std::string& out, int value, int width);

// Appends four uppercase hexadecimal digits, most significant nibble first.
void append_hex4(std::string& out, std::uint16_t code);

// Reads width decimal digits at pos. False when the line ends first or a character is not a digit.
bool read_digits(std::string_view line, std::size_t pos, int width, int& value);

// Reads width hexadecimal digits (either case) at pos. False as for read_digits.
bool read_hex(std::string_view line, std::size_t pos, int width, int& value);

// The line without its CR LF (or lone LF).
std::string_view without_line_end(std::string_view line);

}  // namespace tvx
