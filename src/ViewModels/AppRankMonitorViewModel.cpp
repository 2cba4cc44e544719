#include "ViewModels/AppRankMonitorViewModel.h"

#include "Services/Charts/AppRankCache.h"
#include "Services/Charts/AppRankMonitorService.h"
#include "Services/Settings/AppSettings.h"
#include "Services/Log.h"
#include "models/StorefrontOption.h"
#include "platform/PropertySetter.h"
#include "platform/WallClock.h"

AppRankMonitorViewModel::AppRankMonitorViewModel(const AppInfo& app, const QString& storefront,
                                                 std::shared_ptr<HttpSession> session, QObject* parent)
    : AppRankMonitorViewModel(app, storefront,
                              AppRankMonitorService(AppRankingService(std::move(session)),
                                                    AppRankMonitorService::kDefaultLimit),
                              parent)
{
}

AppRankMonitorViewModel::AppRankMonitorViewModel(const AppInfo& app, const QString& storefront,
                                                 AppRankMonitorService service, QObject* parent)
    : QObject(parent)
    , m_appID(app.id)
    , m_genreID(genreIDForName(app.genre))
    , m_service(std::make_unique<AppRankMonitorService>(std::move(service)))
{
    QStringList codes = normalizedCodes(AppSettings::shared()->appRankMonitorSelectedCountries());
    if (codes.isEmpty())
        codes = normalizedCodes({storefront});
    // A storefront outside the table would leave nothing to check.
    if (codes.isEmpty())
        codes = {kFallbackStorefront};
    m_selectedCountryCodes = codes;
}

AppRankMonitorViewModel::~AppRankMonitorViewModel() = default; // m_loads aborts a load in flight

QStringList AppRankMonitorViewModel::normalizedCodes(const QStringList& codes)
{
    QStringList result;
    for (const QString& raw : codes) {
        const QString code = raw.trimmed().toUpper();
        if (!result.contains(code) && StorefrontOption::option(code))
            result.append(code);
    }
    StorefrontOption::sortCodesByRegionName(result);
    return result;
}

std::optional<QString> AppRankMonitorViewModel::genreIDForName(const QString& genre)
{
    for (const AppRankingService::Genre& row : AppRankingService::genres()) {
        if (!row.id.isEmpty() && row.name.compare(genre, Qt::CaseInsensitive) == 0)
            return row.id;
    }
    return std::nullopt;
}

QString AppRankMonitorViewModel::progressText() const
{
    return QStringLiteral("%1/%2").arg(m_completedCountries).arg(m_selectedCountryCodes.size());
}

QString AppRankMonitorViewModel::categoryName() const
{
    if (m_genreID) {
        if (const auto row = AppRankingService::genre(*m_genreID))
            return row->name;
    }
    return tr("Category");
}

QCoro::Task<> AppRankMonitorViewModel::load(bool forceRefresh)
{
    m_loadID = QUuid::createUuid();
    // Superseding aborts the request of the previous load.
    const LatestRequest::Ticket ticket = m_loads.begin();

    setIsLoading(true);
    setCompletedCountries(0);
    setResults({});

    const QStringList codes = m_selectedCountryCodes;
    const qint64 appID = m_appID;
    const std::optional<QString> genreID = m_genreID;
    const AppRankMonitorService service = *m_service;
    Log::info(QStringLiteral("Checking ranks of app %1 in %2 countries%3")
                  .arg(appID)
                  .arg(codes.size())
                  .arg(forceRefresh ? QStringLiteral(" (refresh)") : QString()));

    for (const QString& code : codes) {
        if (!ticket.isCurrent())
            co_return;
        const QString key = AppRankCache::key(appID, code, genreID);
        std::optional<AppRankCountryResult> result;
        if (!forceRefresh)
            result = AppRankCache::shared().freshResult(key);
        if (!result) {
            const AppRankMonitorService::CountryCheck check =
                co_await service.checkCountry(appID, code, genreID, ticket.token());
            // A superseded load must not touch the results of the one that replaced
            // it; a current ticket also means this view model is still there.
            if (!ticket.isCurrent())
                co_return;
            if (check.complete)
                AppRankCache::shared().store(key, check.result);
            result = check.result;
        }
        appendResult(*result);
        setCompletedCountries(m_completedCountries + 1);
    }
    if (!ticket.isCurrent())
        co_return;
    setLastUpdated(WallClock::now());
    setIsLoading(false);
    Log::info(QStringLiteral("Checked ranks of app %1 in %2 countries").arg(appID).arg(codes.size()));
}

void AppRankMonitorViewModel::applySelection(const QStringList& codes)
{
    const QStringList normalized = normalizedCodes(codes);
    if (normalized.isEmpty())
        return;
    setSelectedCountryCodes(normalized);
    AppSettings::shared()->setAppRankMonitorSelectedCountries(normalized);
    load(false);
}

void AppRankMonitorViewModel::setResults(QList<AppRankCountryResult> results)
{
    assignAndNotify(this, m_results, std::move(results), &AppRankMonitorViewModel::resultsChanged);
}

void AppRankMonitorViewModel::appendResult(const AppRankCountryResult& result)
{
    m_results.append(result);
    emit resultsChanged();
}

void AppRankMonitorViewModel::setSelectedCountryCodes(const QStringList& codes)
{
    if (assignAndNotify(this, m_selectedCountryCodes, codes, &AppRankMonitorViewModel::selectedCountryCodesChanged))
        emit progressTextChanged();
}

void AppRankMonitorViewModel::setIsLoading(bool loading)
{
    assignAndNotify(this, m_isLoading, loading, &AppRankMonitorViewModel::isLoadingChanged);
}

void AppRankMonitorViewModel::setCompletedCountries(int count)
{
    if (assignAndNotify(this, m_completedCountries, count, &AppRankMonitorViewModel::completedCountriesChanged))
        emit progressTextChanged();
}

void AppRankMonitorViewModel::setLastUpdated(const QDateTime& date)
{
    assignAndNotify(this, m_lastUpdated, date, &AppRankMonitorViewModel::lastUpdatedChanged);
}
