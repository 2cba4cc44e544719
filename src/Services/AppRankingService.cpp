#include "Services/AppRankingService.h"

#include "Services/Log.h"
#include "Services/JsonScanner.h"
#include "models/CatalogueID.h"
#include "models/StorefrontOption.h"

#include <QCoreApplication>
#include <QSet>

#include <climits>
#include <cmath>

namespace {

using Chart = AppRankingService::Chart;
using Outcome = AppRankingService::Outcome<Chart>;

// Field reading over the scanner with the rules of JsonFields: null reads as
// absent, a value of the wrong type is the decoding problem and ends the read.
class FeedReader {
public:
    explicit FeedReader(const QByteArray& body)
        : scan(body)
    {
    }

    bool stopped() const { return scan.failed() || !problem.isEmpty(); }
    void wrongType(const char* what, const char* expected)
    {
        if (problem.isEmpty())
            problem = QStringLiteral("%1 is not %2").arg(QLatin1String(what), QLatin1String(expected));
    }

    QString text(const char* what)
    {
        bool wrong = false;
        QString value = lenientText(&wrong);
        if (wrong)
            wrongType(what, "text");
        return value;
    }
    // As text(), but a wrong type is only reported through `wrong`.
    QString lenientText(bool* wrong)
    {
        const JsonScanner::Type type = scan.peek();
        if (type == JsonScanner::Type::String)
            return scan.readString();
        *wrong = type != JsonScanner::Type::Null;
        scan.skipValue();
        return {};
    }

    // Calls `member(key)` for each member of the object at the cursor; it
    // must read or skip the value (the key is only valid until then).
    template <typename F>
    void object(const char* what, F&& member)
    {
        const JsonScanner::Type type = scan.peek();
        if (type != JsonScanner::Type::Object) {
            if (type != JsonScanner::Type::Null)
                wrongType(what, "an object");
            scan.skipValue();
            return;
        }
        scan.enterObject();
        QByteArrayView key;
        while (!stopped() && scan.nextKey(&key))
            member(key);
    }

    // The legacy feed keeps most values in `{"attributes": {...}}`: calls
    // `member(key)` for each member of that inner object, skipping the rest.
    template <typename F>
    void attributes(const char* what, F&& member)
    {
        object(what, [&](QByteArrayView key) {
            if (key != "attributes")
                return scan.skipValue();
            object(what, member);
        });
    }

    // Calls `item()` for each element of a list, or once for a single object
    // that stands for a list of one.
    template <typename F>
    void objectOrList(const char* what, F&& item)
    {
        switch (scan.peek()) {
        case JsonScanner::Type::Array:
            scan.enterArray();
            while (!stopped() && scan.nextElement())
                item();
            return;
        case JsonScanner::Type::Object:
            item();
            return;
        case JsonScanner::Type::Null:
            scan.skipValue();
            return;
        default:
            if (problem.isEmpty())
                problem = QStringLiteral("%1 is neither a list nor an object").arg(QLatin1String(what));
            scan.skipValue();
            return;
        }
    }

    // Reads the root object down to `feed`, handing its members to `member`.
    template <typename F>
    bool feed(F&& member)
    {
        bool seen = false;
        if (scan.peek() != JsonScanner::Type::Object)
            return false;
        object("document", [&](QByteArrayView key) {
            if (key == "feed" && !seen && scan.peek() == JsonScanner::Type::Object) {
                seen = true;
                object("feed", member);
            } else {
                scan.skipValue();
            }
        });
        if (!stopped())
            scan.finish();
        return seen;
    }

    JsonScanner scan;
    QString problem;
};

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
    FeedReader read(body);
    ChartBuilder chart(std::clamp(limit, 0, kMaxLimit));
    bool sawResults = false;
    const bool sawFeed = read.feed([&](QByteArrayView key) {
        if (key != "results" || sawResults || read.scan.peek() != JsonScanner::Type::Array) {
            read.scan.skipValue();
            return;
        }
        sawResults = true;
        read.scan.enterArray();
        for (int index = 0; !read.stopped() && read.scan.nextElement(); ++index) {
            if (index >= limit) {
                read.scan.skipValue();
                continue;
            }
            if (read.scan.peek() != JsonScanner::Type::Object) {
                read.problem = QStringLiteral("result %1 is not an object").arg(index + 1);
                return;
            }
            AppRanking ranking;
            ranking.rank = index + 1;
            QString artwork;
            QString store;
            read.object("result", [&](QByteArrayView field) {
                if (field == "id")
                    ranking.id = read.text("id");
                else if (field == "name")
                    ranking.name = read.text("name");
                else if (field == "artistName")
                    ranking.artistName = read.text("artistName");
                else if (field == "artworkUrl100")
                    artwork = read.text("artworkUrl100");
                else if (field == "url")
                    store = read.text("url");
                else if (field == "genres" && read.scan.peek() == JsonScanner::Type::Array) {
                    read.scan.enterArray();
                    while (!read.stopped() && read.scan.nextElement()) {
                        if (ranking.genre) {
                            read.scan.skipValue();
                            continue;
                        }
                        QString name;
                        read.object("genre", [&](QByteArrayView genreField) {
                            if (genreField == "name")
                                name = read.text("genre name");
                            else
                                read.scan.skipValue();
                        });
                        if (!name.isEmpty())
                            ranking.genre = name;
                    }
                } else if (field == "genres" && read.scan.peek() != JsonScanner::Type::Null) {
                    read.wrongType("genres", "a list");
                    read.scan.skipValue();
                } else {
                    read.scan.skipValue();
                }
            });
            if (!read.problem.isEmpty() && !read.problem.startsWith(QLatin1String("result "))) {
                read.problem = QStringLiteral("result %1: %2").arg(index + 1).arg(read.problem);
                return;
            }
            // Only addresses that are kept are built.
            ranking.artworkURL = JsonFields::webAddress(artwork);
            ranking.appStoreURL = JsonFields::webAddress(store);
            chart.add(std::move(ranking));
        }
    });
    if (read.scan.failed())
        return decodingFailure(read.scan.error());
    if (!read.problem.isEmpty())
        return decodingFailure(read.problem);
    if (!sawFeed)
        return decodingFailure(QStringLiteral("no feed object"));
    // Without its list of results the answer says nothing about the chart;
    // an empty list is an empty chart.
    if (!sawResults)
        return decodingFailure(QStringLiteral("results is missing or not a list"));
    return chart.take();
}

AppRankingService::Outcome<AppRankingService::Chart> AppRankingService::decodeLegacyFeed(const QByteArray& body,
                                                                                      int limit)
{
    FeedReader read(body);
    ChartBuilder chart(std::clamp(limit, 0, kMaxLimit));
    bool sawEntries = false;
    int index = 0;
    QList<std::pair<int, QString>> icons;

    const auto decodeEntry = [&] {
        if (read.scan.peek() != JsonScanner::Type::Object) {
            read.problem = QStringLiteral("entry %1 is not an object").arg(index + 1);
            return;
        }
        AppRanking ranking;
        ranking.rank = index + 1;
        QString term;
        QString label;
        bool labelWrong = false;
        bool linkFound = false;
        QString store;
        icons.clear();
        read.object("entry", [&](QByteArrayView field) {
            if (field == "id") {
                read.attributes("id", [&](QByteArrayView attribute) {
                    if (attribute == "im:id")
                        ranking.id = read.text("im:id");
                    else
                        read.scan.skipValue();
                });
            } else if (field == "im:name" || field == "im:artist") {
                QString* target = field == "im:name" ? &ranking.name : &ranking.artistName;
                const char* what = field == "im:name" ? "im:name" : "im:artist";
                read.object(what, [&](QByteArrayView key) {
                    if (key == "label")
                        *target = read.text(what);
                    else
                        read.scan.skipValue();
                });
            } else if (field == "im:image") {
                read.objectOrList("im:image", [&] {
                    int height = 0;
                    QString address;
                    read.object("im:image item", [&](QByteArrayView key) {
                        if (key == "label") {
                            address = read.text("im:image label");
                        } else if (key == "attributes") {
                            read.object("im:image item", [&](QByteArrayView attribute) {
                                if (attribute != "height")
                                    return read.scan.skipValue();
                                if (read.scan.peek() == JsonScanner::Type::Number) {
                                    const double number = read.scan.readNumber();
                                    const bool whole = number >= INT_MIN && number <= INT_MAX && std::floor(number) == number;
                                    height = whole ? int(number) : 0;
                                } else {
                                    height = read.text("im:image height").toInt();
                                }
                            });
                        } else {
                            read.scan.skipValue();
                        }
                    });
                    // Only the largest usable icon is worth building; see below.
                    if (height >= 0 && JsonFields::looksLikeWebAddress(address))
                        icons.append({height, std::move(address)});
                });
            } else if (field == "category") {
                read.attributes("category", [&](QByteArrayView attribute) {
                    if (attribute == "term")
                        term = read.text("category term");
                    else if (attribute == "label")
                        label = read.lenientText(&labelWrong);
                    else
                        read.scan.skipValue();
                });
            } else if (field == "link") {
                read.objectOrList("link", [&] {
                    if (linkFound)
                        return read.scan.skipValue();
                    QString rel;
                    QString href;
                    bool hrefWrong = false;
                    read.attributes("link", [&](QByteArrayView attribute) {
                        if (attribute == "rel")
                            rel = read.text("link rel");
                        else if (attribute == "href")
                            href = read.lenientText(&hrefWrong);
                        else
                            read.scan.skipValue();
                    });
                    if (rel == QLatin1String("alternate")) {
                        linkFound = true;
                        if (hrefWrong)
                            read.wrongType("link href", "text");
                        store = href;
                    }
                });
            } else {
                read.scan.skipValue();
            }
        });
        // The English term, so the category does not change language with the chart kind.
        if (term.isEmpty() && labelWrong)
            read.wrongType("category label", "text");
        if (!read.problem.isEmpty()) {
            if (!read.problem.startsWith(QLatin1String("entry ")))
                read.problem = QStringLiteral("entry %1: %2").arg(index + 1).arg(read.problem);
            return;
        }
        if (!term.isEmpty())
            ranking.genre = term;
        else if (!label.isEmpty())
            ranking.genre = label;
        std::stable_sort(icons.begin(), icons.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (const auto& icon : std::as_const(icons)) {
            ranking.artworkURL = JsonFields::webAddress(icon.second);
            if (!ranking.artworkURL.isEmpty())
                break;
        }
        ranking.appStoreURL = JsonFields::webAddress(store);
        chart.add(std::move(ranking));
    };

    const bool sawFeed = read.feed([&](QByteArrayView key) {
        if (key != "entry" || sawEntries) {
            read.scan.skipValue();
            return;
        }
        sawEntries = true;
        // One entry comes as a bare object, none as no key at all.
        read.objectOrList("entry", [&] {
            if (index < limit)
                decodeEntry();
            else
                read.scan.skipValue();
            ++index;
        });
    });
    if (read.scan.failed())
        return decodingFailure(read.scan.error());
    if (!read.problem.isEmpty())
        return decodingFailure(read.problem);
    if (!sawFeed)
        return decodingFailure(QStringLiteral("no feed object"));
    return chart.take();
}
