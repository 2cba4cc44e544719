#pragma once

#include "models/AppRankCountryResult.h"
#include "Services/Charts/AppRankingService.h"
#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QString>

#include <optional>

// Finds an app's positions in the charts of one country: the free, paid and
// grossing charts over all apps and within the app's category, read through
// the chart client at a fixed depth.
class AppRankMonitorService {
public:
    static constexpr int kDefaultLimit = 50;

    explicit AppRankMonitorService(AppRankingService charts = AppRankingService(), int limit = kDefaultLimit);

    const AppRankingService& charts() const { return m_charts; }
    int limit() const { return m_limit; }

    struct CountryCheck {
        AppRankCountryResult result;
        // Every chart request got a usable answer; only such a check may be
        // remembered, so a passing outage is not served from memory later.
        bool complete = false;
    };

    // Reads the country's charts all at once; the rows come in feed order.
    // A failed request makes its cell unavailable.
    QCoro::Task<CountryCheck> checkCountry(qint64 appID, QString countryCode, std::optional<QString> genreID,
                                           CancellationToken token = {}) const;

    // Where `appID` stands in an answer searched `limit` positions deep.
    static AppRankLookup lookup(const AppRankingService::Outcome<AppRankingService::Chart>& chart, qint64 appID,
                                int limit);

private:
    static QCoro::Task<CountryCheck> checkCountry(AppRankMonitorService service, qint64 appID, QString countryCode,
                                                  std::optional<QString> genreID, CancellationToken token);

    AppRankingService m_charts;
    int m_limit;
};
