#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <string_view>

namespace tvx {

// A unit's date and time as set-clock sends it: the year 2000..2099, as the unit's year command takes it.
struct ClockTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Year to minute: what must not change between the year and the seconds command.
    bool same_minute(const ClockTime& other) const {
        return year == other.year && month == other.month && day == other.day && hour == other.hour &&
               minute == other.minute;
    }
};

// "YYYY-MM-DD HH:MM:SS" (a "T" may stand for the space), a real date of 2000..2099; none otherwise.
std::optional<ClockTime> parse_clock_time(std::string_view text);

// The time of a local date and time; none outside 2000..2099, which the unit cannot hold.
std::optional<ClockTime> clock_time_of(const QDateTime& local);

// "2024-05-01T12:00:05", as the report gives it.
std::string clock_text(const ClockTime& time);

// The command lines that set the unit's clock to time, year first: "DSY24", "DSM05", ... "TSS05".
// index 0..5: year, month, day, hour, minute, second.
std::string clock_line(const ClockTime& time, int index);
inline constexpr int kClockLines = 6;

// How long to wait before the year command so that the minute cannot turn before the seconds command:
// 0 when at least needed_ms are left in the minute (ms_into_minute: 0..59999), otherwise until just
// after the minute has turned. A wait longer than the minute itself would not help, and none is made.
int clock_wait_ms(int ms_into_minute, int needed_ms);

}  // namespace tvx
