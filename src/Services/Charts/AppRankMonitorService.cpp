#include "Services/Charts/AppRankMonitorService.h"

#include "Services/Log.h"
#include "models/CatalogueID.h"

#include <vector>

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
    // Ids are compared as numbers: "0123" in a feed is the app 123.
    for (const AppRanking& ranking : chart.value()) {
        if (CatalogueID::parsePositive(ranking.id) == appID)
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
    using Fetch = QCoro::Task<AppRankingService::Outcome<AppRankingService::Chart>>;
    CountryCheck check;
    check.result.countryCode = countryCode.trimmed().toUpper();
    const QString code = check.result.countryCode;
    const bool hasGenre = genreID && !genreID->isEmpty();

    // Every chart of the country is asked for at once, so a stalled host
    // costs one deadline per country rather than one per chart.
    std::vector<Fetch> general;
    std::vector<std::optional<Fetch>> category;
    for (AppRankingService::Feed feed : ChartFeed::allFeeds()) {
        general.push_back(service.m_charts.fetchTopCharts(code, feed, service.m_limit, {}, token));
        category.push_back(hasGenre ? std::optional<Fetch>(service.m_charts.fetchTopCharts(code, feed, service.m_limit,
                                                                                          *genreID, token))
                                    : std::nullopt);
    }

    check.complete = true;
    for (qsizetype index = 0; index < ChartFeed::allFeeds().size(); ++index) {
        AppRankFeedResult row;
        row.feed = ChartFeed::allFeeds().at(index);
        const auto overall = co_await std::move(general[size_t(index)]);
        row.general = token.isCancelled() ? AppRankLookup::unavailable() : lookup(overall, appID, service.m_limit);
        check.complete = check.complete && overall.hasValue();
        if (category[size_t(index)]) {
            const auto inGenre = co_await std::move(*category[size_t(index)]);
            row.category = token.isCancelled() ? AppRankLookup::unavailable() : lookup(inGenre, appID, service.m_limit);
            check.complete = check.complete && inGenre.hasValue();
        }
        check.result.rows.append(row);
    }
    check.complete = check.complete && !token.isCancelled();
    if (!check.complete)
        Log::debug(QStringLiteral("Some charts of %1 could not be read").arg(check.result.countryCode));
    co_return check;
}
