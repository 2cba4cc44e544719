#include "models/SavedAppProfile.h"

QString SavedAppProfile::dedupKey(qint64 appId, const QString& storefront, AppPlatform platform)
{
    return QString::number(appId) + u'#' + storefront.trimmed().toUpper() + u'#' + rawValue(platform);
}

SavedAppProfile SavedAppProfile::fromAppInfo(const AppInfo& app, const QString& storefront, const QDateTime& now)
{
    SavedAppProfile profile;
    profile.storefront = storefront.trimmed().toUpper();
    profile.app = app;
    profile.addedAt = now;
    profile.lastRefreshedAt = now;
    return profile;
}

void SavedAppProfile::setDetails(const AppInfo& details)
{
    const qint64 id = app.id;
    const AppPlatform platform = app.platform;
    app = details;
    app.id = id;
    app.platform = platform;
}

SavedAppProfile SavedAppProfile::summary() const
{
    SavedAppProfile listed;
    listed.storefront = storefront;
    listed.app.id = app.id;
    listed.app.name = app.name;
    listed.app.developer = app.developer;
    listed.app.iconURL = app.iconURL;
    listed.app.platform = app.platform;
    listed.addedAt = addedAt;
    return listed;
}

bool SavedAppProfile::precedes(const SavedAppProfile& lhs, const SavedAppProfile& rhs)
{
    if (lhs.addedAt != rhs.addedAt)
        return lhs.addedAt < rhs.addedAt;
    if (const int byName = lhs.app.name.compare(rhs.app.name, Qt::CaseInsensitive))
        return byName < 0;
    return lhs.dedupKey() < rhs.dedupKey();
}
