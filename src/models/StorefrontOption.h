#pragma once

#include <QList>
#include <QString>

#include <optional>

// A storefront (country) of the catalogue: a two-letter code, upper case, and
// an optional name that replaces the region name.
struct StorefrontOption {
    QString code;
    std::optional<QString> customName;

    friend bool operator==(const StorefrontOption&, const StorefrontOption&) = default;

    // The name shown to the user: the custom name, else the English ("en_US")
    // region name, else the code in upper case.
    QString displayName() const;

    // The 167 storefronts of the catalogue, in code order; built once.
    static const QList<StorefrontOption>& all();
    // The table entry whose code equals `code` ignoring case, if any.
    static std::optional<StorefrontOption> option(const QString& code);
    // Two regional-indicator symbols for a two-letter code, else empty.
    static QString flagEmoji(const QString& code);
    // The English region name of a code, or empty when the region is unknown.
    static QString englishRegionName(const QString& code);
    // Plain, case-sensitive ordering of display names.
    static bool displayNameOrder(const StorefrontOption& lhs, const StorefrontOption& rhs);
    // Sorts codes by English region name with a localized, case-insensitive
    // comparison (stable).
    static void sortCodesByRegionName(QStringList& codes);
};

inline size_t qHash(const StorefrontOption& option, size_t seed = 0)
{
    return qHash(option.code, seed);
}
