#pragma once

#include <string_view>

namespace tvx {

// Numbers as tvx230-cli reads them from its arguments and files: the whole text is the number, in the
// same notation whatever the user's locale says (no sign, no spaces, a point before decimals).

// A whole number within min..max ("05" is 5).
bool read_whole_number(std::string_view text, int min, int max, int& value);

// Seconds as a whole or decimal number ("3", "0.5", ".5"), within min..max.
bool read_seconds(std::string_view text, double min, double max, double& value);

// A date and time as "YYYY-MM-DD HH:MM:SS" (two-digit fields, one space): a real day of a year
// 2000..2099 and a time 00:00:00..23:59:59.
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
bool read_date_time(std::string_view text, DateTime& value);

// A colour as six hexadecimal digits RRGGBB.
bool read_colour(std::string_view text, unsigned& value);

}  // namespace tvx
