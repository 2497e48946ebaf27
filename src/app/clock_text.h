#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace tvx {

// The status bar's date: "%4d年%2d月%2d日", two spaces and the weekday name, so that the weekday
// always starts at the 17th byte of the Shift JIS text.
QString clock_date_text(const QDate& date);

// The status bar's time: "%02d：%02d：%02d" with full-width colons.
QString clock_time_text(const QTime& time);

}  // namespace tvx
