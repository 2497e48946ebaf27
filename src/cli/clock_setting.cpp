#include "cli/clock_setting.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <charconv>

#include "protocol/command_builders.h"

namespace tvx {
namespace {

constexpr int kMinuteMs = 60'000;
// After the minute has turned, a little more, so that the computer's clock is surely in the new one.
constexpr int kPastTheMinuteMs = 20;

bool read_number(std::string_view text, std::size_t at, std::size_t digits, int& value) {
    if (at + digits > text.size()) return false;
    const char* first = text.data() + at;
    for (std::size_t i = 0; i < digits; ++i) {
        if (first[i] < '0' || first[i] > '9') return false;
    }
    return std::from_chars(first, first + digits, value).ec == std::errc();
}

std::string two_digits(int n) {
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

}  // namespace

std::optional<ClockTime> parse_clock_time(std::string_view text) {
    // YYYY-MM-DD HH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != ' ' && text[10] != 'T') ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    ClockTime t;
    if (!read_number(text, 0, 4, t.year) || !read_number(text, 5, 2, t.month) ||
        !read_number(text, 8, 2, t.day) || !read_number(text, 11, 2, t.hour) ||
        !read_number(text, 14, 2, t.minute) || !read_number(text, 17, 2, t.second))
        return std::nullopt;
    if (t.year < 2000 || t.year > 2099 || !QDate::isValid(t.year, t.month, t.day) || t.hour > 23 ||
        t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

std::optional<ClockTime> clock_time_of(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    if (!date.isValid() || date.year() < 2000 || date.year() > 2099) return std::nullopt;
    // A leap second is held as the last second of its minute.
    return ClockTime{date.year(),   date.month(),  date.day(),
                     time.hour(),   time.minute(), std::min(time.second(), 59)};
}

std::string clock_text(const ClockTime& t) {
    return std::to_string(t.year) + "-" + two_digits(t.month) + "-" + two_digits(t.day) + "T" +
           two_digits(t.hour) + ":" + two_digits(t.minute) + ":" + two_digits(t.second);
}

std::string clock_line(const ClockTime& t, int index) {
    // The builders take the date and time editor's selector indices: the year from 2000, month and day
    // from 1.
    switch (index) {
        case 0:
            return build_date_command(DateCommand::DSY, t.year - 2000);
        case 1:
            return build_date_command(DateCommand::DSM, t.month - 1);
        case 2:
            return build_date_command(DateCommand::DSD, t.day - 1);
        case 3:
            return build_date_command(DateCommand::TSH, t.hour);
        case 4:
            return build_date_command(DateCommand::TSM, t.minute);
        default:
            return build_date_command(DateCommand::TSS, t.second);
    }
}

int clock_wait_ms(int ms_into_minute, int needed_ms) {
    const int left = kMinuteMs - ms_into_minute;
    if (needed_ms <= left || needed_ms >= kMinuteMs) return 0;
    return left + kPastTheMinuteMs;
}

}  // namespace tvx
