#include "Services/Settings/AppSettings.h"

#include "Services/Log.h"
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
    store(kIsFirstTimeKey, value);
}

QStringList AppSettings::appRankMonitorSelectedCountries() const
{
    return m_suite->stringList(QString::fromLatin1(kAppRankMonitorSelectedCountriesKey));
}

void AppSettings::setAppRankMonitorSelectedCountries(const QStringList& codes)
{
    store(kAppRankMonitorSelectedCountriesKey, codes);
}

void AppSettings::store(const char* key, const QVariant& value, std::source_location where)
{
    // Unsaved, the setting is back to its old value at the next start (the
    // welcome page again), so each failure leaves its cause in the log.
    if (const auto problem = m_suite->setValue(QString::fromLatin1(key), value))
        Log::error(QStringLiteral("Could not save %1 in %2: %3")
                       .arg(QLatin1String(key), m_suite->filePath(), *problem),
                   where);
}

void AppSettings::onValueChanged(const QString& key)
{
    if (key == QLatin1String(kIsFirstTimeKey))
        emit isFirstTimeChanged();
    else if (key == QLatin1String(kAppRankMonitorSelectedCountriesKey))
        emit appRankMonitorSelectedCountriesChanged();
}
