#pragma once

#include "models/AppInfo.h"
#include "models/AppPlatform.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

// An app kept in the workspace: one catalogue app in one storefront on one
// platform, with the catalogue details it had when last refreshed.
struct SavedAppProfile {
    QString storefront; // two letters, upper case
    // The catalogue details as last looked up; their id and platform are
    // part of the profile's identity and never change.
    AppInfo app;

    QDateTime addedAt;
    QDateTime lastRefreshedAt;

    qint64 appId() const { return app.id; }
    AppPlatform platform() const { return app.platform; }

    // App id, "#", storefront upper case, "#", platform raw value.
    static QString dedupKey(qint64 appId, const QString& storefront, AppPlatform platform);
    QString dedupKey() const { return dedupKey(app.id, storefront, app.platform); }

    static SavedAppProfile fromAppInfo(const AppInfo& app, const QString& storefront,
                                       const QDateTime& now = QDateTime::currentDateTimeUtc());
    // Takes fresh details, keeping the identity.
    void setDetails(const AppInfo& details);
    // Only what a list of saved apps shows: id, name, developer, icon address,
    // storefront and platform, and the added date that orders the list.
    SavedAppProfile summary() const;

    // Workspace order: date added, then name ignoring case, then key.
    static bool precedes(const SavedAppProfile& lhs, const SavedAppProfile& rhs);

    friend bool operator==(const SavedAppProfile&, const SavedAppProfile&) = default;
};

Q_DECLARE_METATYPE(SavedAppProfile)
