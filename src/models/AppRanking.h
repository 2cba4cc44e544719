#pragma once

#include <QHash>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

// One entry of a public top chart. Copied between layers.
struct AppRanking {
    QString id;         // the catalogue id as the feed wrote it (text)
    QString name;
    QString artistName;
    QUrl artworkURL;    // empty when the feed gave no usable http(s) address
    std::optional<QString> genre;
    int rank = 0;       // 1-based position in the feed
    QUrl appStoreURL;   // empty when the feed gave no usable http(s) address

    friend bool operator==(const AppRanking&, const AppRanking&) = default;
};

inline size_t qHash(const AppRanking& ranking, size_t seed = 0)
{
    return qHash(ranking.id, seed);
}

Q_DECLARE_METATYPE(AppRanking)
