#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <source_location>

class UserDefaults;

// The application's settings, one typed property and change signal per key,
// over the shared settings suite. Screens read and write settings only here.
// One instance per suite instance: when tests drop the cached suites, the
// next call to shared() makes a fresh one over the new suite.
class AppSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isFirstTime READ isFirstTime WRITE setIsFirstTime NOTIFY isFirstTimeChanged)
    Q_PROPERTY(QStringList appRankMonitorSelectedCountries READ appRankMonitorSelectedCountries WRITE
                   setAppRankMonitorSelectedCountries NOTIFY appRankMonitorSelectedCountriesChanged)
public:
    static AppSettings* shared();

    // True until the user has gone through the welcome page once.
    bool isFirstTime() const;
    void setIsFirstTime(bool value);

    // The countries the rank monitor checks, as stored (not normalised).
    QStringList appRankMonitorSelectedCountries() const;
    void setAppRankMonitorSelectedCountries(const QStringList& codes);

    UserDefaults* suite() const { return m_suite; }

signals:
    void isFirstTimeChanged();
    void appRankMonitorSelectedCountriesChanged();

private:
    explicit AppSettings(UserDefaults* suite);
    // Saves `value`; a save that fails is logged with its cause, as from `where`.
    void store(const char* key, const QVariant& value,
               std::source_location where = std::source_location::current());
    void onValueChanged(const QString& key);

    UserDefaults* m_suite;
};
