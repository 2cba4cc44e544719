#include "models/CatalogueID.h"

#include <limits>

std::optional<qint64> CatalogueID::parse(QStringView text)
{
    qsizetype index = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        index = 1;
    }
    if (index == text.size())
        return std::nullopt;
    // Accumulated as a negative number so that the most negative value fits.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; index < text.size(); ++index) {
        const char16_t c = text[index].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (lowest + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest)
            return std::nullopt;
        value = -value;
    }
    return value;
}

std::optional<qint64> CatalogueID::parsePositive(QStringView text)
{
    const auto value = parse(text);
    if (!value || *value <= 0)
        return std::nullopt;
    return value;
}
