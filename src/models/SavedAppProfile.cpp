#include "models/SavedAppProfile.h"

QString SavedAppProfile::dedupKey(qint64 appId, const QString& storefront, AppPlatform platform)
{
    // Made for every saved app whenever a list of them is compared: one
    // allocation when the storefront is already in its stored form.
    const bool stored = storefront.size() == 2 && storefront.at(0).isUpper() && storefront.at(1).isUpper();
    const QString code = stored ? storefront : storefront.trimmed().toUpper();
    const QString platformName = rawValue(platform);
    QString key;
    key.reserve(20 + code.size() + platformName.size());
    key.append(QString::number(appId)).append(u'#').append(code).append(u'#').append(platformName);
    return key;
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
