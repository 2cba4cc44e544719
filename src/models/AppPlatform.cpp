#include "models/AppPlatform.h"

#include <QCoreApplication>

QString rawValue(AppPlatform platform)
{
    switch (platform) {
    case AppPlatform::iPhone:
        return QStringLiteral("software");
    case AppPlatform::iPad:
        return QStringLiteral("iPadSoftware");
    case AppPlatform::mac:
        return QStringLiteral("macSoftware");
    }
    return QStringLiteral("software");
}

std::optional<AppPlatform> appPlatformFromRawValue(const QString& raw)
{
    for (AppPlatform platform : allAppPlatforms()) {
        if (rawValue(platform) == raw)
            return platform;
    }
    return std::nullopt;
}

QString displayName(AppPlatform platform)
{
    switch (platform) {
    case AppPlatform::iPhone:
        return QCoreApplication::translate("AppPlatform", "iPhone");
    case AppPlatform::iPad:
        return QCoreApplication::translate("AppPlatform", "iPad");
    case AppPlatform::mac:
        return QCoreApplication::translate("AppPlatform", "Mac");
    }
    return {};
}

const QList<AppPlatform>& allAppPlatforms()
{
    static const QList<AppPlatform> all{AppPlatform::iPhone, AppPlatform::iPad, AppPlatform::mac};
    return all;
}
