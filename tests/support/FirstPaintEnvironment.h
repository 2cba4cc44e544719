#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// The environment to start the program in for one run to its first frame:
// its settings, workspace and caches under `home`, the quit-after-first-paint
// switch on, offscreen unless a platform is chosen, and every web service
// pointed at a closed local port, so nothing at start-up reaches the network.
inline QProcessEnvironment firstPaintEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("PLOVERA_QUIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    for (const char* name : {"PLOVERA_CATALOGUE_URL", "PLOVERA_CHARTS_URL", "PLOVERA_LEGACY_CHARTS_URL",
                             "PLOVERA_ESTIMATES_URL"})
        environment.insert(QString::fromLatin1(name), QStringLiteral("http://127.0.0.1:9"));
    return environment;
}
