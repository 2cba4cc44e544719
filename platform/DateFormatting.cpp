#include "platform/DateFormatting.h"

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <memory>

namespace {
QString fromUnicode(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::Locale icuLocale(const QLocale& locale)
{
    // "en_US", "de_DE"; ICU reads the same underscore form.
    return icu::Locale(locale.name().toLatin1().constData());
}
} // namespace

namespace DateFormatting {
QString dateTime(const QDateTime& moment, DateStyle style, const QLocale& locale)
{
    if (!moment.isValid())
        return {};
    const icu::Locale where = icuLocale(locale);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateFormat> format;
    if (style == DateStyle::Medium) {
        format.reset(icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kShort,
                                                             where));
    } else {
        // Abbreviated month, day and year, then hour and minute in the locale's own clock.
        std::unique_ptr<icu::DateTimePatternGenerator> generator(
            icu::DateTimePatternGenerator::createInstance(where, status));
        if (U_SUCCESS(status)) {
            const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString("yMMMdjmm"), status);
            if (U_SUCCESS(status))
                format = std::make_unique<icu::SimpleDateFormat>(pattern, where, status);
        }
    }
    if (!format || U_FAILURE(status))
        return QLocale(locale).toString(moment, QLocale::ShortFormat);
    icu::UnicodeString text;
    format->format(static_cast<UDate>(moment.toMSecsSinceEpoch()), text);
    return fromUnicode(text);
}
} // namespace DateFormatting
