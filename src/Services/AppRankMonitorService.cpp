#include "Services/AppRankMonitorService.h"

#include "Services/Log.h"

AppRankMonitorService::AppRankMonitorService(AppRankingService charts, int limit)
    : m_charts(std::move(charts))
    , m_limit(limit)
{
}

AppRankLookup AppRankMonitorService::lookup(const AppRankingService::Outcome<AppRankingService::Chart>& chart,
                                            qint64 appID, int limit)
{
    if (!chart)
        return AppRankLookup::unavailable();
    const QString wanted = QString::number(appID);
    for (const AppRanking& ranking : chart.value()) {
        if (ranking.id == wanted)
            return AppRankLookup::ranked(ranking.rank);
    }
    return AppRankLookup::outsideLimit(limit);
}

QCoro::Task<AppRankMonitorService::CountryCheck> AppRankMonitorService::checkCountry(qint64 appID,
                                                                                   QString countryCode,
                                                                                   std::optional<QString> genreID,
                                                                                   CancellationToken token) const
{
    return checkCountry(*this, appID, std::move(countryCode), std::move(genreID), std::move(token));
}

QCoro::Task<AppRankMonitorService::CountryCheck> AppRankMonitorService::checkCountry(AppRankMonitorService service,
                                                                                   qint64 appID, QString countryCode,
                                                                                   std::optional<QString> genreID,
                                                                                   CancellationToken token)
{
    CountryCheck check;
    check.result.countryCode = countryCode.trimmed().toUpper();
    check.complete = true;
    const bool hasGenre = genreID && !genreID->isEmpty();

    const QString code = check.result.countryCode;
    for (AppRankingService::Feed feed : AppRankingService::allFeeds()) {
        AppRankFeedResult row;
        row.feed = feed;
        if (!token.isCancelled()) {
            const auto general = co_await service.m_charts.fetchTopCharts(code, feed, service.m_limit, {}, token);
            row.general = lookup(general, appID, service.m_limit);
            check.complete = check.complete && general.hasValue();
        }
        if (hasGenre && !token.isCancelled()) {
            const auto category =
                co_await service.m_charts.fetchTopCharts(code, feed, service.m_limit, *genreID, token);
            row.category = lookup(category, appID, service.m_limit);
            check.complete = check.complete && category.hasValue();
        }
        check.complete = check.complete && !token.isCancelled();
        check.result.rows.append(row);
    }
    if (!check.complete)
        Log::debug(QStringLiteral("Some charts of %1 could not be read").arg(check.result.countryCode));
    co_return check;
}
