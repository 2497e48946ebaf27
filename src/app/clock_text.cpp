#include "app/clock_text.h"

#include <array>
#include <cstdio>

namespace tvx {

namespace {

// Sunday first, as the local time reports the weekday.
constexpr std::array<const char*, 7> kWeekdays{"日曜日", "月曜日", "火曜日", "水曜日",
                                               "木曜日", "金曜日", "土曜日"};

}  // namespace

QString clock_date_text(const QDate& date) {
    char text[64];
    const int weekday = date.dayOfWeek() % 7;  // Qt counts Monday 1 .. Sunday 7
    std::snprintf(text, sizeof text, "%4d年%2d月%2d日  %s", date.year(), date.month(), date.day(),
                  kWeekdays[static_cast<std::size_t>(weekday)]);
    return QString::fromUtf8(text);
}

QString clock_time_text(const QTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d：%02d：%02d", time.hour(), time.minute(), time.second());
    return QString::fromUtf8(text);
}

}  // namespace tvx
