#include "platform/DateFormatting.h"

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <QHash>

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
namespace {
// Building a formatter loads locale data; screens format on every update.
std::unique_ptr<icu::DateFormat> makeFormat(DateStyle style, const icu::Locale& where)
{
    if (style == DateStyle::Medium)
        return std::unique_ptr<icu::DateFormat>(
            icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kShort, where));
    // Abbreviated month, day and year, then hour and minute in the locale's own clock.
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(where, status));
    if (U_FAILURE(status))
        return nullptr;
    const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString("yMMMdjmm"), status);
    if (U_FAILURE(status))
        return nullptr;
    auto format = std::make_unique<icu::SimpleDateFormat>(pattern, where, status);
    return U_SUCCESS(status) ? std::move(format) : nullptr;
}
} // namespace

QString dateTime(const QDateTime& moment, DateStyle style, const QLocale& locale)
{
    if (!moment.isValid())
        return {};
    // Formatters hold the time zone they were made with: one per zone too.
    const QString key = QStringLiteral("%1|%2|%3")
                            .arg(static_cast<int>(style))
                            .arg(locale.name(), QString::fromUtf8(qgetenv("TZ")));
    thread_local QHash<QString, std::shared_ptr<icu::DateFormat>> formats;
    auto found = formats.find(key);
    if (found == formats.end())
        found = formats.insert(key, std::shared_ptr<icu::DateFormat>(makeFormat(style, icuLocale(locale))));
    if (!*found)
        return QLocale(locale).toString(moment, QLocale::ShortFormat);
    icu::UnicodeString text;
    (*found)->format(static_cast<UDate>(moment.toMSecsSinceEpoch()), text);
    return fromUnicode(text);
}
} // namespace DateFormatting
