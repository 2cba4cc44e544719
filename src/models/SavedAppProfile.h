#pragma once

#include "AppInfo.h"
#include "AppPlatform.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

// An app kept in the workspace: one catalogue app in one storefront on one
// platform, with the catalogue details it had when last refreshed.
struct SavedAppProfile {
    qint64 appId = 0;
    QString storefront; // two letters, upper case
    AppPlatform platform = AppPlatform::iPhone;

    QString name;
    QString developer;
    QUrl iconURL;
    QString genre;
    QString description;
    std::optional<int> ratingCount;
    std::optional<double> averageRating;
    std::optional<QDateTime> releaseDate;
    QList<QUrl> screenshotURLs;

    QDateTime addedAt;
    QDateTime lastRefreshedAt;

    // "389801252#US#software": what makes two profiles the same saved app.
    static QString dedupKey(qint64 appId, const QString& storefront, AppPlatform platform);
    QString dedupKey() const { return dedupKey(appId, storefront, platform); }

    // A profile added and refreshed at `now`.
    static SavedAppProfile fromAppInfo(const AppInfo& app, const QString& storefront,
                                       const QDateTime& now = QDateTime::currentDateTimeUtc());
    // Takes the catalogue details of `app`; keeps identity and dates.
    void setDetails(const AppInfo& app);
    AppInfo toAppInfo() const;

    // Workspace order: oldest first, then by name, then by key so that the
    // order never depends on how the rows were read.
    static bool precedes(const SavedAppProfile& lhs, const SavedAppProfile& rhs);

    friend bool operator==(const SavedAppProfile&, const SavedAppProfile&) = default;
};

Q_DECLARE_METATYPE(SavedAppProfile)
