#pragma once

#include <QList>
#include <QString>

#include <optional>

// The catalogue's three platforms; the raw value is the catalogue's entity name.
enum class AppPlatform { iPhone, iPad, mac };

QString rawValue(AppPlatform platform);
std::optional<AppPlatform> appPlatformFromRawValue(const QString& raw);
// The name a user reads in the platform selector.
QString displayName(AppPlatform platform);
const QList<AppPlatform>& allAppPlatforms();
