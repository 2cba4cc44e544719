#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates as the desktop writes them for people, from ICU, in a locale and the
// system's time zone.
namespace DateFormatting {
enum class DateStyle {
    Abbreviated, // "Dec 6, 2026" in English (United States)
    Medium,      // the locale's medium date style
};
// The date in `style` followed by the short time ("6:50 PM"), joined the way
// the locale joins them. The default locale is the user's.
QString dateTime(const QDateTime& moment, DateStyle style, const QLocale& locale = QLocale());
} // namespace DateFormatting
