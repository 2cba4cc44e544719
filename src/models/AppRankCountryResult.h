#pragma once

#include "models/ChartFeed.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>

// Where an app stands in one chart.
struct AppRankLookup {
    enum class Kind {
        ranked,       // `value` is the 1-based position
        outsideLimit, // not among the `value` positions searched
        unavailable,  // the chart could not be read, or there is no category to read
    };
    Kind kind = Kind::unavailable;
    int value = 0;

    static AppRankLookup ranked(int position) { return {Kind::ranked, position}; }
    static AppRankLookup outsideLimit(int searched) { return {Kind::outsideLimit, searched}; }
    static AppRankLookup unavailable() { return {Kind::unavailable, 0}; }

    friend bool operator==(const AppRankLookup&, const AppRankLookup&) = default;
};

// An app's positions in one feed: over all apps and within its category.
struct AppRankFeedResult {
    ChartFeed::Feed feed = ChartFeed::Feed::topFree;
    AppRankLookup general;
    AppRankLookup category;

    friend bool operator==(const AppRankFeedResult&, const AppRankFeedResult&) = default;
};

// An app's positions in one country, one row per feed in feed order.
struct AppRankCountryResult {
    QString countryCode; // upper case
    QList<AppRankFeedResult> rows;

    friend bool operator==(const AppRankCountryResult&, const AppRankCountryResult&) = default;
};

inline size_t qHash(const AppRankLookup& lookup, size_t seed = 0)
{
    return qHashMulti(seed, static_cast<int>(lookup.kind), lookup.value);
}

inline size_t qHash(const AppRankFeedResult& result, size_t seed = 0)
{
    return qHashMulti(seed, static_cast<int>(result.feed), result.general, result.category);
}

inline size_t qHash(const AppRankCountryResult& result, size_t seed = 0)
{
    return qHash(result.countryCode, seed);
}

Q_DECLARE_METATYPE(AppRankCountryResult)
