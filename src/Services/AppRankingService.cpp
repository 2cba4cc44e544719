#include "Services/AppRankingService.h"

#include "Services/HttpProblemMapping.h"
#include "Services/Log.h"
#include "models/StorefrontOption.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

QUrl baseFromEnvironment(const char* variable, const QString& fallback)
{
    const QByteArray value = qgetenv(variable);
    return QUrl(value.isEmpty() ? fallback : QString::fromUtf8(value));
}

// `base` followed by the given segments, each percent-encoded unless it is
// one of our own literals.
QUrl appendPath(const QUrl& base, const QList<QByteArray>& encodedSegments)
{
    QString path = base.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (const QByteArray& segment : encodedSegments)
        path += QLatin1Char('/') + QString::fromLatin1(segment);
    QUrl url = base;
    url.setPath(path, QUrl::StrictMode);
    return url;
}

QByteArray encoded(const QString& segment)
{
    return QUrl::toPercentEncoding(segment);
}

// Reads fields of untrusted JSON. Missing or null fields read as absent; a
// field of the wrong type is remembered as the decoding problem.
class FieldReader {
public:
    bool failed() const { return !m_problem.isEmpty(); }
    QString problem() const { return m_problem; }
    void fail(const QString& what)
    {
        if (m_problem.isEmpty())
            m_problem = what;
    }

    static bool isAbsent(const QJsonValue& value) { return value.isUndefined() || value.isNull(); }

    QString text(const QJsonValue& value, const char* what)
    {
        if (isAbsent(value))
            return {};
        if (!value.isString()) {
            fail(QStringLiteral("%1 is not text").arg(QLatin1String(what)));
            return {};
        }
        return value.toString();
    }

    QJsonObject object(const QJsonValue& value, const char* what)
    {
        if (isAbsent(value))
            return {};
        if (!value.isObject()) {
            fail(QStringLiteral("%1 is not an object").arg(QLatin1String(what)));
            return {};
        }
        return value.toObject();
    }

    // A list that the feed writes as a single object when it has one element.
    QJsonArray objectOrList(const QJsonValue& value, const char* what)
    {
        if (isAbsent(value))
            return {};
        if (value.isObject())
            return QJsonArray{value};
        if (!value.isArray()) {
            fail(QStringLiteral("%1 is neither a list nor an object").arg(QLatin1String(what)));
            return {};
        }
        return value.toArray();
    }

    // The legacy feed wraps every scalar as {"label": text} and keeps the rest under "attributes".
    QString label(const QJsonValue& value, const char* what)
    {
        return text(object(value, what).value(QLatin1String("label")), what);
    }
    QJsonObject attributes(const QJsonValue& value, const char* what)
    {
        return object(object(value, what).value(QLatin1String("attributes")), what);
    }

    // Only http and https addresses with a host are kept; anything else reads as absent.
    QUrl webAddress(const QJsonValue& value, const char* what)
    {
        const QString raw = text(value, what);
        if (raw.isEmpty())
            return {};
        const QUrl url(raw, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
        if (!url.isValid() || url.host().isEmpty() || !web)
            return {};
        return url;
    }

private:
    QString m_problem;
};

std::optional<QJsonObject> feedObject(const QByteArray& body, QString* problem)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *problem = parseError.errorString();
        return std::nullopt;
    }
    const QJsonValue feed = document.object().value(QLatin1String("feed"));
    if (!document.isObject() || !feed.isObject()) {
        *problem = QStringLiteral("no feed object");
        return std::nullopt;
    }
    return feed.toObject();
}

AppRankingService::Outcome<AppRankingService::Chart> decodingFailure(const QString& problem)
{
    return AppRankingService::Outcome<AppRankingService::Chart>::failure(
        {AppRankingService::ServiceError::Decoding, problem});
}

} // namespace

QString AppRankingService::Error::localizedDescription() const
{
    switch (kind) {
    case ServiceError::InvalidStorefront:
        return QCoreApplication::translate("AppRankingService", "The selected country is not available.");
    case ServiceError::InvalidGenre:
        return QCoreApplication::translate("AppRankingService", "The selected category is not available.");
    case ServiceError::InvalidLimit:
        return QCoreApplication::translate("AppRankingService", "The requested number of chart entries is not valid.");
    case ServiceError::InvalidURL:
        return QCoreApplication::translate("AppRankingService", "The chart address is not valid.");
    case ServiceError::Network:
        return QCoreApplication::translate("AppRankingService",
                                           "The charts could not be reached. Check your connection and try again.");
    case ServiceError::Timeout:
        return QCoreApplication::translate("AppRankingService", "The chart service did not answer in time. Try again.");
    case ServiceError::TooLarge:
        return QCoreApplication::translate("AppRankingService", "The chart service sent an answer that is too large.");
    case ServiceError::BadStatus:
        return QCoreApplication::translate("AppRankingService", "The chart service answered with an error (status %1).")
            .arg(detail);
    case ServiceError::NotJSON:
        return QCoreApplication::translate("AppRankingService", "The chart service did not send chart data.");
    case ServiceError::Decoding:
        return QCoreApplication::translate("AppRankingService", "The chart data could not be read.");
    case ServiceError::Cancelled:
        return QCoreApplication::translate("AppRankingService", "The chart request was cancelled.");
    }
    return {};
}

AppRankingService::AppRankingService(std::shared_ptr<HttpSession> session)
    : AppRankingService(std::move(session), defaultChartsBaseURL(), defaultLegacyChartsBaseURL())
{
}

AppRankingService::AppRankingService(std::shared_ptr<HttpSession> session, QUrl chartsBaseURL,
                                     QUrl legacyChartsBaseURL)
    : m_session(std::move(session))
    , m_chartsBaseURL(std::move(chartsBaseURL))
    , m_legacyChartsBaseURL(std::move(legacyChartsBaseURL))
{
}

QUrl AppRankingService::defaultChartsBaseURL()
{
    return baseFromEnvironment("PLOVERA_CHARTS_URL", QStringLiteral("https://rss.marketingtools.apple.com"));
}

QUrl AppRankingService::defaultLegacyChartsBaseURL()
{
    return baseFromEnvironment("PLOVERA_LEGACY_CHARTS_URL", QStringLiteral("https://itunes.apple.com"));
}

const QList<AppRankingService::Feed>& AppRankingService::allFeeds()
{
    static const QList<Feed> feeds{Feed::topFree, Feed::topPaid, Feed::topGrossing};
    return feeds;
}

QString AppRankingService::feedName(Feed feed)
{
    switch (feed) {
    case Feed::topFree:
        return QStringLiteral("topFree");
    case Feed::topPaid:
        return QStringLiteral("topPaid");
    case Feed::topGrossing:
        return QStringLiteral("topGrossing");
    }
    return {};
}

const QList<AppRankingService::Genre>& AppRankingService::genres()
{
    static const QList<Genre> table = [] {
        const std::pair<const char*, const char*> rows[] = {
            {"", "All Categories"},
            {"6018", "Books"},
            {"6000", "Business"},
            {"6026", "Developer Tools"},
            {"6017", "Education"},
            {"6016", "Entertainment"},
            {"6015", "Finance"},
            {"6023", "Food & Drink"},
            {"6014", "Games"},
            {"6027", "Graphics & Design"},
            {"6013", "Health & Fitness"},
            {"6012", "Lifestyle"},
            {"6021", "Magazines & Newspapers"},
            {"6020", "Medical"},
            {"6011", "Music"},
            {"6010", "Navigation"},
            {"6009", "News"},
            {"6008", "Photo & Video"},
            {"6007", "Productivity"},
            {"6006", "Reference"},
            {"6024", "Shopping"},
            {"6005", "Social Networking"},
            {"6004", "Sports"},
            {"6025", "Stickers"},
            {"6003", "Travel"},
            {"6002", "Utilities"},
            {"6001", "Weather"},
        };
        QList<Genre> list;
        for (const auto& [id, name] : rows)
            list.append(Genre{QString::fromLatin1(id), QString::fromLatin1(name)});
        return list;
    }();
    return table;
}

std::optional<AppRankingService::Genre> AppRankingService::genre(const QString& id)
{
    for (const Genre& row : genres()) {
        if (row.id == id)
            return row;
    }
    return std::nullopt;
}

AppRankingService::Outcome<QUrl> AppRankingService::currentFeedURL(const QString& storefront, Feed feed,
                                                                   int limit) const
{
    const auto option = StorefrontOption::option(storefront.trimmed());
    if (!option)
        return Outcome<QUrl>::failure({ServiceError::InvalidStorefront, storefront});
    if (limit < 1 || limit > kMaxLimit)
        return Outcome<QUrl>::failure({ServiceError::InvalidLimit, QString::number(limit)});
    if (feed == Feed::topGrossing)
        return Outcome<QUrl>::failure({ServiceError::InvalidURL, QStringLiteral("no grossing chart in this feed")});
    const QByteArray chart = feed == Feed::topFree ? "top-free" : "top-paid";
    return appendPath(m_chartsBaseURL, {"api", "v2", encoded(option->code.toLower()), "apps", chart,
                                        encoded(QString::number(limit)), "apps.json"});
}

AppRankingService::Outcome<QUrl> AppRankingService::legacyFeedURL(const QString& storefront, Feed feed, int limit,
                                                                  const QString& genreID) const
{
    const auto option = StorefrontOption::option(storefront.trimmed());
    if (!option)
        return Outcome<QUrl>::failure({ServiceError::InvalidStorefront, storefront});
    if (limit < 1 || limit > kMaxLimit)
        return Outcome<QUrl>::failure({ServiceError::InvalidLimit, QString::number(limit)});
    if (!genreID.isEmpty() && !genre(genreID))
        return Outcome<QUrl>::failure({ServiceError::InvalidGenre, genreID});

    QByteArray chart;
    switch (feed) {
    case Feed::topFree:
        chart = "topfreeapplications";
        break;
    case Feed::topPaid:
        chart = "toppaidapplications";
        break;
    case Feed::topGrossing:
        chart = "topgrossingapplications";
        break;
    }
    QList<QByteArray> segments{encoded(option->code.toLower()), "rss", chart,
                               "limit=" + encoded(QString::number(limit))};
    if (!genreID.isEmpty())
        segments.append("genre=" + encoded(genreID));
    segments.append("json");
    return appendPath(m_legacyChartsBaseURL, segments);
}

QCoro::Task<AppRankingService::Outcome<AppRankingService::Chart>>
AppRankingService::fetchTopCharts(QString storefront, Feed feed, int limit, QString genreID,
                                  CancellationToken token) const
{
    // The coroutine works on a copy, so the caller may drop this client while it runs.
    return fetchTopCharts(*this, std::move(storefront), feed, limit, std::move(genreID), std::move(token));
}

QCoro::Task<AppRankingService::Outcome<AppRankingService::Chart>>
AppRankingService::fetchTopCharts(AppRankingService service, QString storefront, Feed feed, int limit,
                                  QString genreID, CancellationToken token)
{
    // Checked first so that a bad argument never reaches either feed.
    const Outcome<QUrl> legacyURL = service.legacyFeedURL(storefront, feed, limit, genreID);
    if (!legacyURL)
        co_return Outcome<Chart>::failure(legacyURL.error());

    if (feed != Feed::topGrossing && genreID.isEmpty()) {
        const Outcome<QUrl> currentURL = service.currentFeedURL(storefront, feed, limit);
        if (!currentURL)
            co_return Outcome<Chart>::failure(currentURL.error());
        Outcome<Chart> current = co_await fetch(service.m_session, currentURL.value(), Shape::Current, token);
        if (current || current.error().kind == ServiceError::Cancelled || token.isCancelled())
            co_return current;
        Log::warning(QStringLiteral("Current chart feed failed (%1), trying the legacy feed")
                         .arg(current.error().localizedDescription()));
    }
    co_return co_await fetch(service.m_session, legacyURL.value(), Shape::Legacy, token);
}

QCoro::Task<AppRankingService::Outcome<AppRankingService::Chart>>
AppRankingService::fetch(std::shared_ptr<HttpSession> session, QUrl url, Shape shape, CancellationToken token)
{
    using R = Outcome<Chart>;
    const QString address = url.toString(QUrl::FullyEncoded);
    if (!session)
        co_return R::failure({ServiceError::Network, QStringLiteral("no session")});
    Log::info(QStringLiteral("GET %1").arg(address));
    const HttpResponse response = co_await session->get(url, token, kMaxAnswerBytes);

    auto failed = [&](ServiceError kind, const QString& detail) {
        if (kind != ServiceError::Cancelled)
            Log::error(QStringLiteral("Chart request failed: %1 (%2)").arg(detail, address));
        return R::failure({kind, detail});
    };
    if (response.failure == HttpResponse::Failure::None)
        Log::debug(QStringLiteral("HTTP %1 for %2").arg(response.status).arg(address));
    if (const auto problem = response.jsonProblem(); problem != HttpResponse::JsonProblem::None)
        co_return failed(serviceErrorFor<ServiceError>(problem), response.problemDetail());

    R chart = shape == Shape::Current ? decodeCurrentFeed(response.body) : decodeLegacyFeed(response.body);
    if (!chart)
        co_return failed(chart.error().kind, chart.error().detail);
    co_return chart;
}

AppRankingService::Outcome<AppRankingService::Chart> AppRankingService::decodeCurrentFeed(const QByteArray& body)
{
    QString problem;
    const std::optional<QJsonObject> feed = feedObject(body, &problem);
    if (!feed)
        return decodingFailure(problem);

    FieldReader read;
    const QJsonValue results = feed->value(QLatin1String("results"));
    if (!FieldReader::isAbsent(results) && !results.isArray())
        return decodingFailure(QStringLiteral("results is not a list"));
    const QJsonArray entries = results.toArray();

    Chart chart;
    chart.reserve(entries.size());
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const QJsonValue entryValue = entries.at(index);
        if (!entryValue.isObject())
            return decodingFailure(QStringLiteral("result %1 is not an object").arg(index + 1));
        const QJsonObject entry = entryValue.toObject();

        AppRanking ranking;
        ranking.rank = static_cast<int>(index + 1);
        ranking.id = read.text(entry.value(QLatin1String("id")), "id");
        ranking.name = read.text(entry.value(QLatin1String("name")), "name");
        ranking.artistName = read.text(entry.value(QLatin1String("artistName")), "artistName");
        ranking.artworkURL = read.webAddress(entry.value(QLatin1String("artworkUrl100")), "artworkUrl100");
        ranking.appStoreURL = read.webAddress(entry.value(QLatin1String("url")), "url");

        const QJsonValue genresValue = entry.value(QLatin1String("genres"));
        if (!FieldReader::isAbsent(genresValue) && !genresValue.isArray())
            read.fail(QStringLiteral("genres is not a list"));
        for (const QJsonValue& genreValue : genresValue.toArray()) {
            const QString name = read.text(read.object(genreValue, "genre").value(QLatin1String("name")), "genre name");
            if (!name.isEmpty()) {
                ranking.genre = name;
                break;
            }
        }
        if (read.failed())
            return decodingFailure(QStringLiteral("result %1: %2").arg(index + 1).arg(read.problem()));
        if (ranking.id.isEmpty())
            return decodingFailure(QStringLiteral("result %1 has no id").arg(index + 1));
        chart.append(std::move(ranking));
    }
    return chart;
}

AppRankingService::Outcome<AppRankingService::Chart> AppRankingService::decodeLegacyFeed(const QByteArray& body)
{
    QString problem;
    const std::optional<QJsonObject> feed = feedObject(body, &problem);
    if (!feed)
        return decodingFailure(problem);

    FieldReader read;
    // One entry comes as a bare object, none as no key at all.
    const QJsonArray entries = read.objectOrList(feed->value(QLatin1String("entry")), "entry");
    if (read.failed())
        return decodingFailure(read.problem());

    Chart chart;
    chart.reserve(entries.size());
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const QJsonValue entryValue = entries.at(index);
        if (!entryValue.isObject())
            return decodingFailure(QStringLiteral("entry %1 is not an object").arg(index + 1));
        const QJsonObject entry = entryValue.toObject();

        AppRanking ranking;
        ranking.rank = static_cast<int>(index + 1);
        const QJsonObject idAttributes = read.attributes(entry.value(QLatin1String("id")), "id");
        ranking.id = read.text(idAttributes.value(QLatin1String("im:id")), "im:id");
        ranking.name = read.label(entry.value(QLatin1String("im:name")), "im:name");
        ranking.artistName = read.label(entry.value(QLatin1String("im:artist")), "im:artist");

        // The largest of the offered icon sizes.
        int largestHeight = -1;
        for (const QJsonValue& imageValue : read.objectOrList(entry.value(QLatin1String("im:image")), "im:image")) {
            const QJsonObject image = read.object(imageValue, "im:image item");
            const QJsonValue heightValue = read.attributes(imageValue, "im:image item").value(QLatin1String("height"));
            const int height = heightValue.isDouble() ? heightValue.toInt()
                                                      : read.text(heightValue, "im:image height").toInt();
            const QUrl address = read.webAddress(image.value(QLatin1String("label")), "im:image label");
            if (!address.isEmpty() && height > largestHeight) {
                largestHeight = height;
                ranking.artworkURL = address;
            }
        }

        const QJsonObject category = read.attributes(entry.value(QLatin1String("category")), "category");
        QString genreName = read.text(category.value(QLatin1String("label")), "category label");
        if (genreName.isEmpty())
            genreName = read.text(category.value(QLatin1String("term")), "category term");
        if (!genreName.isEmpty())
            ranking.genre = genreName;

        for (const QJsonValue& linkValue : read.objectOrList(entry.value(QLatin1String("link")), "link")) {
            const QJsonObject attributes = read.attributes(linkValue, "link");
            if (read.text(attributes.value(QLatin1String("rel")), "link rel") == QLatin1String("alternate")) {
                ranking.appStoreURL = read.webAddress(attributes.value(QLatin1String("href")), "link href");
                break;
            }
        }

        if (read.failed())
            return decodingFailure(QStringLiteral("entry %1: %2").arg(index + 1).arg(read.problem()));
        if (ranking.id.isEmpty())
            return decodingFailure(QStringLiteral("entry %1 has no id").arg(index + 1));
        chart.append(std::move(ranking));
    }
    return chart;
}
