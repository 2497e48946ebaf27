#include "cli/cli_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tvx {
namespace {

bool digits_only(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool read_whole_number(std::string_view text, int min, int max, int& value) {
    // from_chars would take a leading minus; nine digits cannot overflow an int.
    if (text.empty() || text.size() > 9 || !digits_only(text)) return false;
    int read = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (ec != std::errc() || end != text.data() + text.size() || read < min || read > max) return false;
    value = read;
    return true;
}

bool read_seconds(std::string_view text, double min, double max, double& value) {
    if (text.empty() || text.size() > 12) return false;
    // Only digits with at most one point: no sign, exponent, "inf" or hexadecimal, which from_chars takes.
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos && text.find('.', point + 1) != std::string_view::npos) return false;
    if (!digits_only(text.substr(0, point))) return false;
    if (point != std::string_view::npos && !digits_only(text.substr(point + 1))) return false;
    if (text == ".") return false;
    double read = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), read, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    if (!std::isfinite(read) || read < min || read > max) return false;
    value = read;
    return true;
}

bool read_date_time(std::string_view text, DateTime& value) {
    // Positions of the separators in "YYYY-MM-DD HH:MM:SS"; every other character is a digit.
    constexpr std::string_view form = "0000-00-00 00:00:00";
    if (text.size() != form.size()) return false;
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != form[i]) return false;
    }
    DateTime read;
    const auto field = [&](std::size_t at, std::size_t size, int min, int max, int& out) {
        return read_whole_number(text.substr(at, size), min, max, out);
    };
    if (!field(0, 4, 2000, 2099, read.year) || !field(5, 2, 1, 12, read.month) ||
        !field(11, 2, 0, 23, read.hour) || !field(14, 2, 0, 59, read.minute) ||
        !field(17, 2, 0, 59, read.second))
        return false;
    // Within 2000..2099 every year divisible by four is a leap year, 2000 too.
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int days = kDays[read.month - 1] + (read.month == 2 && read.year % 4 == 0 ? 1 : 0);
    if (!field(8, 2, 1, days, read.day)) return false;
    value = read;
    return true;
}

bool read_colour(std::string_view text, unsigned& value) {
    if (text.size() != 6 || !std::all_of(text.begin(), text.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        }))
        return false;
    unsigned read = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read, 16);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = read;
    return true;
}

}  // namespace tvx
