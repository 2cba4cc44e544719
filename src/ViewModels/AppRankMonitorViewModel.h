#pragma once

#include "models/AppInfo.h"
#include "models/AppRankCountryResult.h"
#include "platform/HttpSession.h"
#include "platform/LatestRequest.h"

#include <QCoroTask>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <optional>

class AppRankMonitorService;

// State of the rank-monitor page: an app's positions in the charts of the
// selected countries, checked one country at a time with progress.
class AppRankMonitorViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AppRankCountryResult> results READ results NOTIFY resultsChanged)
    Q_PROPERTY(QStringList selectedCountryCodes READ selectedCountryCodes NOTIFY selectedCountryCodesChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(int completedCountries READ completedCountries NOTIFY completedCountriesChanged)
    Q_PROPERTY(QDateTime lastUpdated READ lastUpdated NOTIFY lastUpdatedChanged)
    Q_PROPERTY(QString progressText READ progressText NOTIFY progressTextChanged)
    Q_PROPERTY(QString categoryName READ categoryName CONSTANT)
public:
    static inline const QString kFallbackStorefront = QStringLiteral("US");

    // The selection comes from the settings suite, else the given storefront,
    // else the fallback storefront. Starts no load.
    AppRankMonitorViewModel(const AppInfo& app, const QString& storefront,
                            std::shared_ptr<HttpSession> session = HttpSession::shared(), QObject* parent = nullptr);
    // With a ready-made service (another depth, other base addresses).
    AppRankMonitorViewModel(const AppInfo& app, const QString& storefront, AppRankMonitorService service,
                            QObject* parent = nullptr);
    ~AppRankMonitorViewModel() override;

    const QList<AppRankCountryResult>& results() const { return m_results; }
    QStringList selectedCountryCodes() const { return m_selectedCountryCodes; }
    bool isLoading() const { return m_isLoading; }
    int completedCountries() const { return m_completedCountries; }
    // Invalid until a load has gone through every selected country.
    QDateTime lastUpdated() const { return m_lastUpdated; }
    // "<completed>/<selected>".
    QString progressText() const;
    // The name of the app's category, "Category" when it has none.
    QString categoryName() const;

    qint64 appID() const { return m_appID; }
    std::optional<QString> genreID() const { return m_genreID; }
    const AppRankMonitorService& service() const { return *m_service; }
    QUuid loadID() const { return m_loadID; }

    // Checks every selected country in order, from the cache where it holds a
    // fresh answer unless `forceRefresh`. A newer load supersedes this one.
    QCoro::Task<> load(bool forceRefresh);

    // Takes a new selection (normalised; ignored when nothing valid is left),
    // stores it in the settings suite and reloads with cached answers allowed.
    void applySelection(const QStringList& codes);

    // Trims and upper-cases, keeps codes of the storefront table, drops
    // duplicates and sorts by English region name.
    static QStringList normalizedCodes(const QStringList& codes);
    // The id of the genre-table row named like `genre` (ignoring case).
    static std::optional<QString> genreIDForName(const QString& genre);

signals:
    void resultsChanged();
    void selectedCountryCodesChanged();
    void isLoadingChanged();
    void completedCountriesChanged();
    void lastUpdatedChanged();
    void progressTextChanged();

private:
    void setResults(QList<AppRankCountryResult> results);
    void appendResult(const AppRankCountryResult& result);
    void setSelectedCountryCodes(const QStringList& codes);
    void setIsLoading(bool loading);
    void setCompletedCountries(int count);
    void setLastUpdated(const QDateTime& date);

    QList<AppRankCountryResult> m_results;
    QStringList m_selectedCountryCodes;
    bool m_isLoading = false;
    int m_completedCountries = 0;
    QDateTime m_lastUpdated;
    qint64 m_appID = 0;
    std::optional<QString> m_genreID;
    std::unique_ptr<AppRankMonitorService> m_service;
    QUuid m_loadID;
    LatestRequest m_loads;
};
