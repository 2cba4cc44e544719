#include "Services/Charts/AppRankingService.h"

#include "Services/Log.h"
#include "Services/Web/JsonFieldTable.h"
#include "models/CatalogueID.h"
#include "models/StorefrontOption.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

using Chart = AppRankingService::Chart;
using Outcome = AppRankingService::Outcome<Chart>;

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

// The answer down to its list of entries, as both feeds spell it.
struct FeedDocument {
    int limit = 0;
    bool feed = false;          // the root's "feed" is an object
    std::optional<Chart> chart; // its list of entries, when it has one
};

// Reads the list of entries at the cursor: the first `limit` positions, each
// an object read through `fields` and then completed.
template <typename Entry, std::size_t N>
QString readEntries(JsonScanner& scan, bool objectIsListOfOne, FeedDocument& document,
                    const JsonField<Entry> (&fields)[N], const char* what)
{
    ChartBuilder chart(std::clamp(document.limit, 0, AppRankingService::kMaxLimit));
    const QString problem = JsonFieldTable::eachItem(scan, objectIsListOfOne, [&](int index) -> QString {
        if (index >= document.limit) {
            scan.skipValue();
            return {};
        }
        if (scan.peek() != JsonScanner::Type::Object) {
            scan.skipValue();
            return QStringLiteral("%1 %2 is not an object").arg(QLatin1String(what)).arg(index + 1);
        }
        Entry entry;
        entry.rank = index + 1;
        QString entryProblem = JsonFieldTable::readObject(scan, entry, fields);
        if (entryProblem.isEmpty())
            entryProblem = entry.complete();
        if (!entryProblem.isEmpty())
            return QStringLiteral("%1 %2: %3").arg(QLatin1String(what)).arg(index + 1).arg(entryProblem);
        chart.add(std::move(entry));
        return {};
    });
    document.chart = chart.take();
    return problem;
}

// Reads the root's "feed" object through `feedFields`; any other value there
// means the answer has no feed.
template <const auto& feedFields>
QString feedObject(JsonScanner* scan, FeedDocument& document)
{
    document.chart.reset();
    document.feed = scan && scan->peek() == JsonScanner::Type::Object;
    if (!document.feed) {
        if (scan)
            scan->skipValue();
        return {};
    }
    return JsonFieldTable::readObject(*scan, document, feedFields);
}

template <std::size_t N>
Outcome decodeFeed(const QByteArray& body, int limit, const JsonField<FeedDocument> (&rootFields)[N],
                   bool listRequired)
{
    JsonScanner scan(body);
    FeedDocument document;
    document.limit = limit;
    QString problem;
    if (scan.peek() == JsonScanner::Type::Object) {
        problem = JsonFieldTable::readObject(scan, document, rootFields);
        scan.finish();
    }
    if (scan.failed())
        return decodingFailure(scan.error());
    if (!problem.isEmpty())
        return decodingFailure(problem);
    if (!document.feed)
        return decodingFailure(QStringLiteral("no feed object"));
    // Without its list of results a current answer says nothing about the
    // chart; an empty list is an empty chart.
    if (!document.chart && listRequired)
        return decodingFailure(QStringLiteral("results is missing or not a list"));
    return document.chart.value_or(Chart());
}

using JsonFieldTable::text;
using JsonFieldTable::lenientText;

// The current feed: {"feed": {"results": [{"id": ..., "name": ..., ...}]}}.

struct GenreItem {
    QString name;
};
constexpr JsonField<GenreItem> kGenreItem[] = {{{"name"}, text<&GenreItem::name>}};

struct CurrentResult : AppRanking {
    QString artwork;
    QString store;

    // Only addresses that are kept are built.
    QString complete()
    {
        artworkURL = JsonFields::webAddress(artwork);
        appStoreURL = JsonFields::webAddress(store);
        return {};
    }
};

// The first genre with a name; the ones after it go unread.
QString firstGenre(JsonScanner* scan, CurrentResult& result)
{
    result.genre.reset();
    if (!scan)
        return {};
    return JsonFieldTable::firstItem(*scan, false, kGenreItem, [&](const GenreItem& item) {
        if (!item.name.isEmpty())
            result.genre = item.name;
        return result.genre.has_value();
    });
}

constexpr JsonField<CurrentResult> kCurrentResult[] = {
    {{"id"}, text<&CurrentResult::id>},
    {{"name"}, text<&CurrentResult::name>},
    {{"artistName"}, text<&CurrentResult::artistName>},
    {{"artworkUrl100"}, text<&CurrentResult::artwork>},
    {{"url"}, text<&CurrentResult::store>},
    {{"genres"}, firstGenre},
};

QString currentResults(JsonScanner* scan, FeedDocument& document)
{
    document.chart.reset();
    if (!scan)
        return {};
    if (scan->peek() != JsonScanner::Type::Array) {
        scan->skipValue();
        return {};
    }
    return readEntries(*scan, false, document, kCurrentResult, "result");
}

constexpr JsonField<FeedDocument> kCurrentFeed[] = {{{"results"}, currentResults}};
constexpr JsonField<FeedDocument> kCurrentDocument[] = {{{"feed"}, feedObject<kCurrentFeed>}};

// The legacy feed: {"feed": {"entry": [...]}}, most values wrapped as
// {"label": value} or {"attributes": {...}}, and a list of one written as
// the bare object.

struct Icon {
    int height = 0;
    QString address;
};

// A number (only a whole one in int range counts) or a text of digits.
QString iconHeight(JsonScanner* scan, Icon& icon)
{
    icon.height = 0;
    if (!scan)
        return {};
    if (scan->peek() == JsonScanner::Type::Number) {
        const double number = scan->readNumber();
        const bool whole = number >= INT_MIN && number <= INT_MAX && std::floor(number) == number;
        icon.height = whole ? int(number) : 0;
        return {};
    }
    QString digits;
    QString problem = JsonFieldTable::readText(*scan, &digits);
    icon.height = digits.toInt();
    return problem;
}

constexpr JsonField<Icon> kIcon[] = {
    {{"label"}, text<&Icon::address>},
    {{"attributes", "height"}, iconHeight},
};

struct Link {
    QString rel;
    JsonFieldTable::LenientText href;
};
constexpr JsonField<Link> kLink[] = {
    {{"attributes", "rel"}, text<&Link::rel>},
    {{"attributes", "href"}, lenientText<&Link::href>},
};

struct LegacyEntry : AppRanking {
    QList<Icon> icons; // the usable ones
    QString term;
    JsonFieldTable::LenientText label;
    std::optional<JsonFieldTable::LenientText> store; // of the first "alternate" link

    QString complete()
    {
        if (store && store->wrongType)
            return QStringLiteral("link href: not text");
        // The English term, so the category does not change language with the chart kind.
        if (term.isEmpty() && label.wrongType)
            return QStringLiteral("category label: not text");
        if (!term.isEmpty())
            genre = term;
        else if (!label.text.isEmpty())
            genre = label.text;
        // Only the largest usable icon is worth building.
        std::stable_sort(icons.begin(), icons.end(), [](const Icon& a, const Icon& b) { return a.height > b.height; });
        for (const Icon& icon : std::as_const(icons)) {
            artworkURL = JsonFields::webAddress(icon.address);
            if (!artworkURL.isEmpty())
                break;
        }
        if (store)
            appStoreURL = JsonFields::webAddress(store->text);
        return {};
    }
};

QString icons(JsonScanner* scan, LegacyEntry& entry)
{
    entry.icons.clear();
    if (!scan)
        return {};
    return JsonFieldTable::eachItem(*scan, true, [&](int) {
        Icon icon;
        QString problem = JsonFieldTable::readObject(*scan, icon, kIcon);
        if (icon.height >= 0 && JsonFields::looksLikeWebAddress(icon.address))
            entry.icons.append(std::move(icon));
        return problem;
    });
}

// The store address is the first link marked "alternate"; the links after it go unread.
QString storeLink(JsonScanner* scan, LegacyEntry& entry)
{
    entry.store.reset();
    if (!scan)
        return {};
    return JsonFieldTable::firstItem(*scan, true, kLink, [&](Link& link) {
        if (link.rel != QLatin1String("alternate"))
            return false;
        entry.store = std::move(link.href);
        return true;
    });
}

constexpr JsonField<LegacyEntry> kLegacyEntry[] = {
    {{"id", "attributes", "im:id"}, text<&LegacyEntry::id>},
    {{"im:name", "label"}, text<&LegacyEntry::name>},
    {{"im:artist", "label"}, text<&LegacyEntry::artistName>},
    {{"im:image"}, icons},
    {{"category", "attributes", "term"}, text<&LegacyEntry::term>},
    {{"category", "attributes", "label"}, lenientText<&LegacyEntry::label>},
    {{"link"}, storeLink},
};

// One entry comes as a bare object, none as no key at all.
QString legacyEntries(JsonScanner* scan, FeedDocument& document)
{
    document.chart.reset();
    return scan ? readEntries(*scan, true, document, kLegacyEntry, "entry") : QString();
}

constexpr JsonField<FeedDocument> kLegacyFeed[] = {{{"entry"}, legacyEntries}};
constexpr JsonField<FeedDocument> kLegacyDocument[] = {{{"feed"}, feedObject<kLegacyFeed>}};

const TransportTexts kTransportTexts{
    "AppRankingService",
    QT_TRANSLATE_NOOP("AppRankingService", "The chart address is not valid."),
    QT_TRANSLATE_NOOP("AppRankingService", "The charts could not be reached. Check your connection and try again."),
    QT_TRANSLATE_NOOP("AppRankingService", "The chart service did not answer in time. Try again."),
    QT_TRANSLATE_NOOP("AppRankingService", "The chart service sent an answer that is too large."),
    QT_TRANSLATE_NOOP("AppRankingService", "The chart service answered with an error (status %1)."),
    QT_TRANSLATE_NOOP("AppRankingService", "The chart service did not send chart data."),
    QT_TRANSLATE_NOOP("AppRankingService", "The chart request was cancelled."),
};
} // namespace

QString AppRankingService::Error::localizedDescription() const
{
    if (const auto failure = transport())
        return describe(*failure, kTransportTexts, detail);
    switch (std::get<ServiceError>(kind)) {
    case ServiceError::InvalidStorefront:
        return QCoreApplication::translate("AppRankingService", "The selected country is not available.");
    case ServiceError::InvalidGenre:
        return QCoreApplication::translate("AppRankingService", "The selected category is not available.");
    case ServiceError::InvalidLimit:
        return QCoreApplication::translate("AppRankingService", "The requested number of chart entries is not valid.");
    case ServiceError::Decoding:
        return QCoreApplication::translate("AppRankingService", "The chart data could not be read.");
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
        return Outcome<QUrl>::failure({TransportFailure::InvalidURL, QStringLiteral("no grossing chart in this feed")});
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
        if (current || current.error().isCancelled() || token.isCancelled())
            co_return current;
        // A timeout means the one deadline is spent.
        if (current.error().transport() == TransportFailure::Timeout || deadline.hasExpired())
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
        co_return R::failure({transportFailureFor(answer.error().problem), answer.error().detail});
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
    return decodeFeed(body, limit, kCurrentDocument, true);
}

AppRankingService::Outcome<AppRankingService::Chart> AppRankingService::decodeLegacyFeed(const QByteArray& body,
                                                                                      int limit)
{
    return decodeFeed(body, limit, kLegacyDocument, false);
}
