#include "Services/AppRankingService.h"

#include "Services/Log.h"
#include "models/CatalogueID.h"
#include "models/StorefrontOption.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

namespace {

using Chart = AppRankingService::Chart;
using Outcome = AppRankingService::Outcome<Chart>;

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

Outcome decodingFailure(const QString& problem)
{
    return Outcome::failure({AppRankingService::ServiceError::Decoding, problem});
}

// Keeps the entries a chart can show: a positive numeric id, seen for the
// first time, and a name. The rest are skipped, not fatal.
class ChartBuilder {
public:
    explicit ChartBuilder(qsizetype expected) { m_chart.reserve(expected); }

    void add(AppRanking ranking)
    {
        const auto id = CatalogueID::parsePositive(ranking.id);
        if (!id || ranking.name.trimmed().isEmpty() || m_seen.contains(*id))
            return;
        m_seen.insert(*id);
        m_chart.append(std::move(ranking));
    }
    Chart take() { return std::move(m_chart); }

private:
    Chart m_chart;
    QSet<qint64> m_seen;
};

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
    : m_web(std::move(session), kMaxAnswerBytes)
    , m_chartsBaseURL(std::move(chartsBaseURL))
    , m_legacyChartsBaseURL(std::move(legacyChartsBaseURL))
{
}

QUrl AppRankingService::defaultChartsBaseURL()
{
    return WebClient::baseURL("PLOVERA_CHARTS_URL", "https://rss.marketingtools.apple.com");
}

QUrl AppRankingService::defaultLegacyChartsBaseURL()
{
    return WebClient::baseURL("PLOVERA_LEGACY_CHARTS_URL", "https://itunes.apple.com");
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
    return WebClient::appendPath(m_chartsBaseURL, {"api", "v2", WebClient::encoded(option->code.toLower()), "apps",
                                                   chart, QByteArray::number(limit), "apps.json"});
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
    QList<QByteArray> segments{WebClient::encoded(option->code.toLower()), "rss", chart,
                               "limit=" + QByteArray::number(limit)};
    if (!genreID.isEmpty())
        segments.append("genre=" + WebClient::encoded(genreID));
    segments.append("json");
    return WebClient::appendPath(m_legacyChartsBaseURL, segments);
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

    // One deadline for the whole fetch: a stalled current feed leaves the
    // legacy one only what is left of it.
    const QDeadlineTimer deadline = service.m_web.newDeadline();
    if (feed != Feed::topGrossing && genreID.isEmpty()) {
        const Outcome<QUrl> currentURL = service.currentFeedURL(storefront, feed, limit);
        if (!currentURL)
            co_return Outcome<Chart>::failure(currentURL.error());
        Outcome<Chart> current = co_await fetch(service.m_web, currentURL.value(), Shape::Current, limit, token, deadline);
        if (current || current.error().kind == ServiceError::Cancelled || token.isCancelled())
            co_return current;
        // A timeout means the one deadline is spent.
        if (current.error().kind == ServiceError::Timeout || deadline.hasExpired())
            co_return current;
        Log::warning(QStringLiteral("Current chart feed failed (%1), trying the legacy feed")
                         .arg(current.error().localizedDescription()));
    }
    co_return co_await fetch(service.m_web, legacyURL.value(), Shape::Legacy, limit, token, deadline);
}

QCoro::Task<AppRankingService::Outcome<AppRankingService::Chart>>
AppRankingService::fetch(WebClient web, QUrl url, Shape shape, int limit, CancellationToken token,
                         QDeadlineTimer deadline)
{
    using R = Outcome<Chart>;
    const WebClient::Answer answer = co_await web.getJSON(url, token, deadline);
    if (!answer)
        co_return R::failure({serviceErrorFor<ServiceError>(answer.error().problem), answer.error().detail});
    std::function<R(const QByteArray&)> decoder = [shape, limit](const QByteArray& body) {
        return shape == Shape::Current ? decodeCurrentFeed(body, limit) : decodeLegacyFeed(body, limit);
    };
    R chart = co_await WebClient::decode(answer.value(), std::move(decoder));
    if (!chart)
        WebClient::logFailure(chart.error().detail, url);
    co_return chart;
}

AppRankingService::Outcome<AppRankingService::Chart> AppRankingService::decodeCurrentFeed(const QByteArray& body,
                                                                                       int limit)
{
    QString problem;
    const std::optional<QJsonObject> feed = feedObject(body, &problem);
    if (!feed)
        return decodingFailure(problem);

    // Without its list of results the answer says nothing about the chart;
    // an empty list is an empty chart.
    const QJsonValue results = feed->value(QLatin1String("results"));
    if (!results.isArray())
        return decodingFailure(QStringLiteral("results is missing or not a list"));
    const QJsonArray entries = results.toArray();
    const qsizetype count = std::min<qsizetype>(entries.size(), std::max(limit, 0));

    JsonFields read;
    ChartBuilder chart(count);
    for (qsizetype index = 0; index < count; ++index) {
        const QJsonValue entryValue = entries.at(index);
        if (!entryValue.isObject())
            return decodingFailure(QStringLiteral("result %1 is not an object").arg(index + 1));
        const QJsonObject entry = entryValue.toObject();

        AppRanking ranking;
        ranking.rank = static_cast<int>(index + 1);
        ranking.id = read.text(entry.value(QLatin1String("id")), "id");
        ranking.name = read.text(entry.value(QLatin1String("name")), "name");
        ranking.artistName = read.text(entry.value(QLatin1String("artistName")), "artistName");
        ranking.artworkURL = JsonFields::webAddress(read.text(entry.value(QLatin1String("artworkUrl100")), "artworkUrl100"));
        ranking.appStoreURL = JsonFields::webAddress(read.text(entry.value(QLatin1String("url")), "url"));

        const QJsonValue genresValue = entry.value(QLatin1String("genres"));
        if (!JsonFields::isAbsent(genresValue) && !genresValue.isArray())
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
        chart.add(std::move(ranking));
    }
    return chart.take();
}

AppRankingService::Outcome<AppRankingService::Chart> AppRankingService::decodeLegacyFeed(const QByteArray& body,
                                                                                      int limit)
{
    QString problem;
    const std::optional<QJsonObject> feed = feedObject(body, &problem);
    if (!feed)
        return decodingFailure(problem);

    JsonFields read;
    // One entry comes as a bare object, none as no key at all.
    const QJsonArray entries = read.objectOrList(feed->value(QLatin1String("entry")), "entry");
    if (read.failed())
        return decodingFailure(read.problem());
    const qsizetype count = std::min<qsizetype>(entries.size(), std::max(limit, 0));

    ChartBuilder chart(count);
    QList<std::pair<int, QString>> icons;
    for (qsizetype index = 0; index < count; ++index) {
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

        // The largest of the offered icon sizes that is a usable address;
        // only that one is worth building.
        icons.clear();
        for (const QJsonValue& imageValue : read.objectOrList(entry.value(QLatin1String("im:image")), "im:image")) {
            const QJsonObject image = read.object(imageValue, "im:image item");
            const QJsonValue heightValue = read.attributes(imageValue, "im:image item").value(QLatin1String("height"));
            const int height = heightValue.isDouble() ? heightValue.toInt()
                                                      : read.text(heightValue, "im:image height").toInt();
            QString address = read.text(image.value(QLatin1String("label")), "im:image label");
            if (height >= 0 && JsonFields::looksLikeWebAddress(address))
                icons.append({height, std::move(address)});
        }
        std::stable_sort(icons.begin(), icons.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (const auto& icon : std::as_const(icons)) {
            ranking.artworkURL = JsonFields::webAddress(icon.second);
            if (!ranking.artworkURL.isEmpty())
                break;
        }

        // The English term, so the category does not change language with the chart kind.
        const QJsonObject category = read.attributes(entry.value(QLatin1String("category")), "category");
        QString genreName = read.text(category.value(QLatin1String("term")), "category term");
        if (genreName.isEmpty())
            genreName = read.text(category.value(QLatin1String("label")), "category label");
        if (!genreName.isEmpty())
            ranking.genre = genreName;

        for (const QJsonValue& linkValue : read.objectOrList(entry.value(QLatin1String("link")), "link")) {
            const QJsonObject attributes = read.attributes(linkValue, "link");
            if (read.text(attributes.value(QLatin1String("rel")), "link rel") == QLatin1String("alternate")) {
                ranking.appStoreURL = JsonFields::webAddress(read.text(attributes.value(QLatin1String("href")), "link href"));
                break;
            }
        }

        if (read.failed())
            return decodingFailure(QStringLiteral("entry %1: %2").arg(index + 1).arg(read.problem()));
        chart.add(std::move(ranking));
    }
    return chart.take();
}
