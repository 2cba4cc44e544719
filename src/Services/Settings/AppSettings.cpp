#include "Services/Settings/AppSettings.h"

#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"

#include <QPointer>

AppSettings* AppSettings::shared()
{
    static QPointer<AppSettings> instance;
    UserDefaults* suite = UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName));
    if (!instance || instance->m_suite != suite)
        instance = new AppSettings(suite); // owned by the suite, goes with it
    return instance;
}

AppSettings::AppSettings(UserDefaults* suite)
    : QObject(suite)
    , m_suite(suite)
{
    connect(suite, &UserDefaults::valueChanged, this, &AppSettings::onValueChanged);
}

bool AppSettings::isFirstTime() const
{
    return m_suite->boolValue(QString::fromLatin1(kIsFirstTimeKey), true);
}

void AppSettings::setIsFirstTime(bool value)
{
    m_suite->setValue(QString::fromLatin1(kIsFirstTimeKey), value);
}

QStringList AppSettings::appRankMonitorSelectedCountries() const
{
    return m_suite->stringList(QString::fromLatin1(kAppRankMonitorSelectedCountriesKey));
}

void AppSettings::setAppRankMonitorSelectedCountries(const QStringList& codes)
{
    m_suite->setValue(QString::fromLatin1(kAppRankMonitorSelectedCountriesKey), codes);
}

void AppSettings::onValueChanged(const QString& key)
{
    if (key == QLatin1String(kIsFirstTimeKey))
        emit isFirstTimeChanged();
    else if (key == QLatin1String(kAppRankMonitorSelectedCountriesKey))
        emit appRankMonitorSelectedCountriesChanged();
}
