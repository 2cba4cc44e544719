#pragma once

#include "models/AppRanking.h"
#include "models/ChartFeed.h"
#include "Services/Web/TransportFailure.h"
#include "Services/Web/WebClient.h"
#include "platform/CancellationToken.h"
#include "platform/HttpSession.h"
#include "platform/Result.h"

#include <QCoroTask>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <memory>

// Client of the public top charts. A small value: it holds a session and the
// two base addresses, and can be copied freely.
//
// Two feeds answer chart requests. The current one knows only the free and
// paid charts over all apps; the legacy one also knows the grossing chart and
// category filters, and stands in when the current one fails.
class AppRankingService {
public:
    using Feed = ChartFeed::Feed;
    using Genre = ChartGenre;

    // The failures of this client beside the transport ones, each with its
    // fixed text for the user.
    enum class ServiceError {
        InvalidStorefront,
        InvalidGenre,
        InvalidLimit,
        Decoding,
    };
    struct Error : ClientError<ServiceError> {
        using ClientError::ClientError;
        QString localizedDescription() const;
    };
    template <typename T>
    using Outcome = Result<T, Error>;
    using Chart = QList<AppRanking>;

    static constexpr int kMaxLimit = 200;
    static constexpr qint64 kMaxAnswerBytes = 4 * 1024 * 1024;

    // Base addresses from PLOVERA_CHARTS_URL and PLOVERA_LEGACY_CHARTS_URL when
    // set (read now), else the public ones.
    explicit AppRankingService(std::shared_ptr<HttpSession> session = HttpSession::shared());
    AppRankingService(std::shared_ptr<HttpSession> session, QUrl chartsBaseURL, QUrl legacyChartsBaseURL);

    static QUrl defaultChartsBaseURL();
    static QUrl defaultLegacyChartsBaseURL();

    std::shared_ptr<HttpSession> session() const { return m_web.session(); }
    QUrl chartsBaseURL() const { return m_chartsBaseURL; }
    QUrl legacyChartsBaseURL() const { return m_legacyChartsBaseURL; }

    // "topFree", "topPaid", "topGrossing".
    static QString feedName(Feed feed);

    // "All Categories" with the empty id, then the 26 app genres of the catalogue.
    static const QList<Genre>& genres();
    static std::optional<Genre> genre(const QString& id);

    // The chart of one storefront (any case), feed and genre (empty: all
    // categories), at most `limit` entries (1 to kMaxLimit). Uses the current
    // feed where it can and the legacy feed otherwise or when the current one
    // fails; both together get the session's timeout once.
    QCoro::Task<Outcome<Chart>> fetchTopCharts(QString storefront, Feed feed, int limit, QString genreID = {},
                                               CancellationToken token = {}) const;

    // Request addresses; an argument that cannot go into a path is an error.
    Outcome<QUrl> currentFeedURL(const QString& storefront, Feed feed, int limit) const;
    Outcome<QUrl> legacyFeedURL(const QString& storefront, Feed feed, int limit, const QString& genreID) const;

    // Decoding of the two feeds' answers: the first `limit` positions, keeping
    // entries with a name and a positive numeric id not seen before.
    static Outcome<Chart> decodeCurrentFeed(const QByteArray& body, int limit = kMaxLimit);
    static Outcome<Chart> decodeLegacyFeed(const QByteArray& body, int limit = kMaxLimit);

private:
    static QCoro::Task<Outcome<Chart>> fetchTopCharts(AppRankingService service, QString storefront, Feed feed,
                                                      int limit, QString genreID, CancellationToken token);
    enum class Shape { Current, Legacy };
    static QCoro::Task<Outcome<Chart>> fetch(WebClient web, QUrl url, Shape shape, int limit, CancellationToken token,
                                             QDeadlineTimer deadline);

    WebClient m_web;
    QUrl m_chartsBaseURL;
    QUrl m_legacyChartsBaseURL;
};
