#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

// The three public top charts an app can stand in, and one category of the
// catalogue. Plain values shared by the chart client, the rank monitor and
// their screens.
class ChartFeed {
    Q_GADGET
public:
    enum class Feed { topFree, topPaid, topGrossing };
    Q_ENUM(Feed)

    // Every feed, in declaration order.
    static const QList<Feed>& allFeeds()
    {
        static const QList<Feed> feeds{Feed::topFree, Feed::topPaid, Feed::topGrossing};
        return feeds;
    }
};

// One category of the catalogue; the empty id stands for all categories.
struct ChartGenre {
    QString id;
    QString name;
    friend bool operator==(const ChartGenre&, const ChartGenre&) = default;
};

inline size_t qHash(const ChartGenre& genre, size_t seed = 0)
{
    return qHash(genre.id, seed);
}

Q_DECLARE_METATYPE(ChartGenre)
