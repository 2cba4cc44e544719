#include "models/StorefrontOption.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <mutex>

namespace {
constexpr const char* kStorefrontCodes[] = {
    "AE", "AG", "AI", "AL", "AM", "AO", "AR", "AT", "AU", "AZ", "BB", "BD", "BE", "BF", "BG", "BH", "BJ", "BM", "BN",
    "BO", "BR", "BS", "BT", "BW", "BY", "BZ", "CA", "CH", "CL", "CN", "CO", "CR", "CV", "CY", "CZ", "DE", "DK", "DM",
    "DO", "DZ", "EC", "EE", "EG", "ES", "FI", "FJ", "FM", "FR", "GA", "GB", "GD", "GE", "GH", "GM", "GR", "GT", "GW",
    "GY", "HK", "HN", "HR", "HU", "ID", "IE", "IL", "IN", "IQ", "IS", "IT", "JM", "JO", "JP", "KE", "KG", "KH", "KN",
    "KR", "KW", "KY", "KZ", "LA", "LB", "LC", "LK", "LR", "LT", "LU", "LV", "LY", "MA", "MD", "ME", "MG", "MK", "ML",
    "MN", "MO", "MR", "MS", "MT", "MU", "MV", "MW", "MX", "MY", "MZ", "NA", "NE", "NG", "NI", "NL", "NO", "NP", "NR",
    "NZ", "OM", "PA", "PE", "PG", "PH", "PK", "PL", "PT", "PW", "PY", "QA", "RO", "RS", "RU", "SA", "SB", "SC", "SE",
    "SG", "SI", "SK", "SL", "SN", "SR", "ST", "SV", "SZ", "TC", "TD", "TH", "TJ", "TM", "TN", "TR", "TT", "TW", "TZ",
    "UA", "UG", "US", "UY", "UZ", "VC", "VE", "VG", "VN", "VU", "XK", "YE", "ZA", "ZM", "ZW"};

bool isAsciiLetterPair(const QString& code)
{
    return code.size() == 2 && std::all_of(code.begin(), code.end(), [](QChar c) {
               return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
           });
}
} // namespace

const QList<StorefrontOption>& StorefrontOption::all()
{
    static const QList<StorefrontOption> table = [] {
        QList<StorefrontOption> options;
        options.reserve(static_cast<qsizetype>(std::size(kStorefrontCodes)));
        for (const char* code : kStorefrontCodes)
            options.append(StorefrontOption{QString::fromLatin1(code).toUpper(), std::nullopt});
        return options;
    }();
    return table;
}

std::optional<StorefrontOption> StorefrontOption::option(const QString& code)
{
    const QString wanted = code.toUpper();
    for (const StorefrontOption& option : all()) {
        if (option.code == wanted)
            return option;
    }
    return std::nullopt;
}

QString StorefrontOption::flagEmoji(const QString& code)
{
    const QString letters = code.trimmed().toUpper();
    if (!isAsciiLetterPair(letters))
        return {};
    QString flag;
    for (const QChar c : letters) {
        const char32_t scalar = static_cast<char32_t>(c.unicode()) + 127397;
        flag += QString::fromUcs4(&scalar, 1);
    }
    return flag;
}

QString StorefrontOption::englishRegionName(const QString& code)
{
    const QString upper = code.trimmed().toUpper();
    if (!isAsciiLetterPair(upper))
        return {};
    // Names are looked up once per code: the lists sort by them repeatedly.
    // Start-up sorts them on a thread of its own while the window is built.
    static QHash<QString, QString> cache;
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    if (auto it = cache.constFind(upper); it != cache.constEnd())
        return it.value();
    const icu::Locale region("", upper.toLatin1().constData());
    icu::UnicodeString name;
    region.getDisplayCountry(icu::Locale("en", "US"), name);
    std::string utf8;
    name.toUTF8String(utf8);
    QString result = QString::fromStdString(utf8);
    // ICU answers an unknown region with its code.
    if (result.compare(upper, Qt::CaseInsensitive) == 0)
        result.clear();
    cache.insert(upper, result);
    return result;
}

QString StorefrontOption::displayName() const
{
    if (customName)
        return *customName;
    const QString name = englishRegionName(code);
    return name.isEmpty() ? code.toUpper() : name;
}

bool StorefrontOption::displayNameOrder(const StorefrontOption& lhs, const StorefrontOption& rhs)
{
    return lhs.displayName() < rhs.displayName();
}

void StorefrontOption::sortCodesByRegionName(QStringList& codes)
{
    QCollator collator{QLocale(QLocale::English, QLocale::UnitedStates)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(codes.begin(), codes.end(), [&collator](const QString& a, const QString& b) {
        const QString nameA = StorefrontOption{a, std::nullopt}.displayName();
        const QString nameB = StorefrontOption{b, std::nullopt}.displayName();
        return collator.compare(nameA, nameB) < 0;
    });
}
