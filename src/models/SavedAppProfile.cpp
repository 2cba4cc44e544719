#include "SavedAppProfile.h"

QString SavedAppProfile::dedupKey(qint64 appId, const QString& storefront, AppPlatform platform)
{
    return QString::number(appId) + u'#' + storefront.trimmed().toUpper() + u'#' + rawValue(platform);
}

SavedAppProfile SavedAppProfile::fromAppInfo(const AppInfo& app, const QString& storefront, const QDateTime& now)
{
    SavedAppProfile profile;
    profile.appId = app.id;
    profile.storefront = storefront.trimmed().toUpper();
    profile.platform = app.platform;
    profile.setDetails(app);
    profile.addedAt = now;
    profile.lastRefreshedAt = now;
    return profile;
}

void SavedAppProfile::setDetails(const AppInfo& app)
{
    name = app.name;
    developer = app.developer;
    iconURL = app.iconURL;
    genre = app.genre;
    description = app.description;
    ratingCount = app.ratingCount;
    averageRating = app.averageRating;
    releaseDate = app.releaseDate;
    screenshotURLs = app.screenshotURLs;
}

AppInfo SavedAppProfile::toAppInfo() const
{
    AppInfo app;
    app.id = appId;
    app.name = name;
    app.developer = developer;
    app.iconURL = iconURL;
    app.genre = genre;
    app.description = description;
    app.ratingCount = ratingCount;
    app.averageRating = averageRating;
    app.releaseDate = releaseDate;
    app.screenshotURLs = screenshotURLs;
    app.platform = platform;
    return app;
}

bool SavedAppProfile::precedes(const SavedAppProfile& lhs, const SavedAppProfile& rhs)
{
    if (lhs.addedAt != rhs.addedAt)
        return lhs.addedAt < rhs.addedAt;
    if (const int byName = lhs.name.compare(rhs.name, Qt::CaseInsensitive))
        return byName < 0;
    return lhs.dedupKey() < rhs.dedupKey();
}
