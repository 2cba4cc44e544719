#pragma once

#include "models/AppPlatform.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

// One catalogue app as the application uses it. Copied between layers.
struct AppInfo {
    qint64 id = 0;
    QString name;
    QString developer;
    QUrl iconURL; // empty when the catalogue gave none
    QString genre;
    QString description;
    std::optional<int> ratingCount;
    std::optional<double> averageRating;
    std::optional<QDateTime> releaseDate;
    QList<QUrl> screenshotURLs;
    AppPlatform platform = AppPlatform::iPhone;

    friend bool operator==(const AppInfo&, const AppInfo&) = default;
};

Q_DECLARE_METATYPE(AppInfo)
