#include "Services/Catalogue/AppSearchService.h"

#include "Services/Web/JsonFieldTable.h"
#include "Services/Log.h"
#include "models/SearchTerm.h"
#include "models/StorefrontOption.h"

#include <QCoreApplication>
#include <QUrlQuery>

#include <cmath>

namespace {
const QStringList kScreenshotFallbackStorefronts{QStringLiteral("US"), QStringLiteral("GB")};

const TransportTexts kTransportTexts{
    "AppSearchService",
    QT_TRANSLATE_NOOP("AppSearchService", "Indirizzo della richiesta non valido."),
    QT_TRANSLATE_NOOP("AppSearchService", "Errore di rete. Controlla la connessione e riprova."),
    QT_TRANSLATE_NOOP("AppSearchService", "Il server non ha risposto in tempo. Riprova."),
    QT_TRANSLATE_NOOP("AppSearchService", "La risposta del server è troppo grande."),
    QT_TRANSLATE_NOOP("AppSearchService", "Risposta del server non valida (codice %1)."),
    QT_TRANSLATE_NOOP("AppSearchService", "Risposta del server non valida."),
    QT_TRANSLATE_NOOP("AppSearchService", "Richiesta annullata."),
};
} // namespace

QString AppSearchService::Error::localizedDescription() const
{
    if (const auto failure = transport())
        return describe(*failure, kTransportTexts, detail);
    switch (std::get<ServiceError>(kind)) {
    case ServiceError::EmptyTerm:
        return QCoreApplication::translate("AppSearchService", "Inserisci un termine di ricerca.");
    case ServiceError::InvalidAppID:
        return QCoreApplication::translate("AppSearchService", "App ID non valido.");
    case ServiceError::InvalidStorefront:
        return QCoreApplication::translate("AppSearchService", "Paese non valido.");
    case ServiceError::Decoding:
        return QCoreApplication::translate("AppSearchService", "Impossibile leggere i dati ricevuti.");
    case ServiceError::NotFound:
        return QCoreApplication::translate("AppSearchService", "App non trovata.");
    }
    return {};
}

QUrl AppSearchService::defaultBaseURL()
{
    return WebClient::baseURL("PLOVERA_CATALOGUE_URL", "https://itunes.apple.com");
}

AppSearchService::AppSearchService(std::shared_ptr<HttpSession> session)
    : AppSearchService(std::move(session), defaultBaseURL())
{
}

AppSearchService::AppSearchService(std::shared_ptr<HttpSession> session, QUrl baseURL)
    : m_web(std::move(session), kMaxAnswerBytes)
    , m_baseURL(std::move(baseURL))
{
}

QUrl AppSearchService::endpoint(const char* name) const
{
    return WebClient::appendPath(m_baseURL, {name});
}

QCoro::Task<AppSearchService::Outcome<QList<AppInfo>>> AppSearchService::search(QString term, AppPlatform platform,
                                                                              QString country, int limit,
                                                                              CancellationToken token) const
{
    return search(*this, std::move(term), platform, std::move(country), limit, std::move(token));
}

QCoro::Task<AppSearchService::Outcome<AppInfo>> AppSearchService::lookup(qint64 id, AppPlatform platform,
                                                                       QString country,
                                                                       CancellationToken token) const
{
    return lookup(*this, id, platform, std::move(country), std::move(token));
}

QCoro::Task<AppSearchService::Outcome<AppInfo>> AppSearchService::lookupWithScreenshots(qint64 id, AppPlatform platform,
                                                                                      QString country,
                                                                                      CancellationToken token) const
{
    return lookupWithScreenshots(*this, id, platform, std::move(country), std::move(token));
}

QCoro::Task<AppSearchService::Outcome<QList<AppInfo>>> AppSearchService::search(AppSearchService service, QString term,
                                                                              AppPlatform platform, QString country,
                                                                              int limit, CancellationToken token)
{
    const QString trimmed = term.trimmed();
    if (trimmed.isEmpty())
        co_return Outcome<QList<AppInfo>>::failure({ServiceError::EmptyTerm, {}});
    const auto storefront = StorefrontOption::option(country.trimmed());
    if (!storefront)
        co_return Outcome<QList<AppInfo>>::failure({ServiceError::InvalidStorefront, country});

    limit = std::clamp(limit, 1, kMaxResults);
    QUrl url = service.endpoint("search");
    QUrlQuery query;
    const QString sent = leftWholeCharacters(trimmed, kMaxSearchTermLength);
    // Encoded explicitly: a '+' or '&' in the term must reach the server as data.
    query.addQueryItem(QStringLiteral("term"), QString::fromLatin1(QUrl::toPercentEncoding(sent)));
    query.addQueryItem(QStringLiteral("entity"), rawValue(platform));
    query.addQueryItem(QStringLiteral("limit"), QString::number(limit));
    query.addQueryItem(QStringLiteral("country"), storefront->code.toLower());
    url.setQuery(query);
    co_return co_await fetch(service.m_web, url, platform, limit, token);
}

QCoro::Task<AppSearchService::Outcome<AppInfo>> AppSearchService::lookup(AppSearchService service, qint64 id,
                                                                       AppPlatform platform, QString country,
                                                                       CancellationToken token)
{
    if (id <= 0)
        co_return Outcome<AppInfo>::failure({ServiceError::InvalidAppID, QString::number(id)});
    const auto storefront = StorefrontOption::option(country.trimmed());
    if (!storefront)
        co_return Outcome<AppInfo>::failure({ServiceError::InvalidStorefront, country});

    QUrl url = service.endpoint("lookup");
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("id"), QString::number(id));
    query.addQueryItem(QStringLiteral("entity"), rawValue(platform));
    query.addQueryItem(QStringLiteral("country"), storefront->code.toLower());
    url.setQuery(query);
    auto outcome = co_await fetch(service.m_web, url, platform, kMaxResults, token);
    if (!outcome)
        co_return Outcome<AppInfo>::failure(outcome.error());
    // A lookup may answer with related records; the app is the one with its id.
    for (const AppInfo& app : outcome.value()) {
        if (app.id == id)
            co_return app;
    }
    co_return Outcome<AppInfo>::failure({ServiceError::NotFound, QString::number(id)});
}

QCoro::Task<AppSearchService::Outcome<AppInfo>> AppSearchService::lookupWithScreenshots(AppSearchService service,
                                                                                      qint64 id, AppPlatform platform,
                                                                                      QString country,
                                                                                      CancellationToken token)
{
    auto outcome = co_await lookup(service, id, platform, country, token);
    if (!outcome || !outcome.value().screenshotURLs.isEmpty())
        co_return outcome;
    AppInfo app = outcome.value();
    for (const QString& other : kScreenshotFallbackStorefronts) {
        if (token.isCancelled())
            break;
        if (other.compare(country.trimmed(), Qt::CaseInsensitive) == 0)
            continue;
        const auto fallback = co_await lookup(service, id, platform, other, token);
        if (fallback && !fallback.value().screenshotURLs.isEmpty()) {
            app.screenshotURLs = fallback.value().screenshotURLs;
            break;
        }
    }
    co_return app;
}

QCoro::Task<AppSearchService::Outcome<QList<AppInfo>>> AppSearchService::fetch(WebClient web, QUrl url,
                                                                             AppPlatform platform, int limit,
                                                                             CancellationToken token)
{
    using R = Outcome<QList<AppInfo>>;
    const WebClient::Answer answer = co_await web.getJSON(url, token);
    if (!answer)
        co_return R::failure({transportFailureFor(answer.error().problem), answer.error().detail});
    std::function<R(const QByteArray&)> decoder = [platform, limit](const QByteArray& body) {
        return decodeResults(body, platform, limit);
    };
    R apps = co_await WebClient::decode(answer.value(), std::move(decoder));
    if (!apps)
        WebClient::logFailure(apps.error().detail, url);
    co_return apps;
}

namespace {

using JsonFieldTable::number;
using JsonFieldTable::text;

// The fields of one record as read, before they become an AppInfo. A wrongly
// typed field reads as absent: a record is kept or skipped on what it has.
struct Record {
    std::optional<double> trackId;
    QString name;
    QString developer;
    QString genre;
    QString description;
    QString icon512;
    QString icon100;
    QString icon60;
    std::optional<double> ratingCount;
    std::optional<double> averageRating;
    QString releaseDate;
    QStringList phoneShots;
    QStringList tabletShots;
};

// The texts of a list that may be web addresses; only the list that is kept
// has its addresses built.
template <QStringList Record::*member>
QString addressTexts(JsonScanner* scan, Record& record)
{
    QStringList& texts = record.*member;
    texts.clear();
    if (!scan)
        return {};
    return JsonFieldTable::eachItem(*scan, false, [&](int) -> QString {
        QString text;
        JsonFieldTable::readText(*scan, &text);
        if (JsonFields::looksLikeWebAddress(text))
            texts.append(std::move(text));
        return {};
    });
}

constexpr JsonField<Record> kRecord[] = {
    {{"trackId"}, number<&Record::trackId>},
    {{"trackName"}, text<&Record::name>},
    {{"artistName"}, text<&Record::developer>},
    {{"primaryGenreName"}, text<&Record::genre>},
    {{"description"}, text<&Record::description>},
    {{"artworkUrl512"}, text<&Record::icon512>},
    {{"artworkUrl100"}, text<&Record::icon100>},
    {{"artworkUrl60"}, text<&Record::icon60>},
    {{"userRatingCount"}, number<&Record::ratingCount>},
    {{"averageUserRating"}, number<&Record::averageRating>},
    {{"releaseDate"}, text<&Record::releaseDate>},
    {{"screenshotUrls"}, addressTexts<&Record::phoneShots>},
    {{"ipadScreenshotUrls"}, addressTexts<&Record::tabletShots>},
};

QList<QUrl> webAddresses(const QStringList& texts)
{
    QList<QUrl> urls;
    urls.reserve(texts.size());
    for (const QString& text : texts) {
        QUrl url = JsonFields::webAddress(text);
        if (!url.isEmpty())
            urls.append(std::move(url));
    }
    return urls;
}

std::optional<AppInfo> makeApp(Record& record, AppPlatform platform)
{
    const double id = record.trackId.value_or(0);
    const QString name = record.name.trimmed();
    if (!std::isfinite(id) || id < 1 || id > 9.0e15 || std::floor(id) != id || name.isEmpty())
        return std::nullopt;

    AppInfo app;
    app.id = static_cast<qint64>(id);
    app.name = name;
    app.developer = std::move(record.developer);
    app.genre = std::move(record.genre);
    app.description = std::move(record.description);
    app.platform = platform;
    for (const QString* icon : {&record.icon512, &record.icon100, &record.icon60}) {
        app.iconURL = JsonFields::webAddress(*icon);
        if (!app.iconURL.isEmpty())
            break;
    }
    if (const double count = record.ratingCount.value_or(-1); std::isfinite(count) && count >= 0 && count < 2.0e9)
        app.ratingCount = static_cast<int>(count);
    if (const double rating = record.averageRating.value_or(-1); std::isfinite(rating) && rating >= 0 && rating <= 5)
        app.averageRating = rating;
    if (!record.releaseDate.isEmpty()) {
        const QDateTime date = QDateTime::fromString(record.releaseDate, Qt::ISODate);
        if (date.isValid())
            app.releaseDate = date;
    }
    // Each platform prefers its own screenshots and falls back to the others.
    const bool tabletFirst = platform == AppPlatform::iPad;
    app.screenshotURLs = webAddresses(tabletFirst ? record.tabletShots : record.phoneShots);
    if (app.screenshotURLs.isEmpty())
        app.screenshotURLs = webAddresses(tabletFirst ? record.phoneShots : record.tabletShots);
    return app;
}

// The answer: its list of results, the first `limit` records that make an app.
struct Answer {
    AppPlatform platform;
    int limit;
    std::optional<QList<AppInfo>> apps; // absent until a "results" list is read
};

QString results(JsonScanner* scan, Answer& answer)
{
    answer.apps.reset();
    if (!scan || scan->peek() != JsonScanner::Type::Array) {
        if (scan)
            scan->skipValue();
        return {};
    }
    QList<AppInfo> apps;
    JsonFieldTable::eachItem(*scan, false, [&](int) -> QString {
        if (apps.size() >= answer.limit || scan->peek() != JsonScanner::Type::Object) {
            scan->skipValue();
            return {};
        }
        Record record;
        JsonFieldTable::readObject(*scan, record, kRecord); // what is wrong reads as absent
        if (auto app = makeApp(record, answer.platform))
            apps.append(std::move(*app));
        return {};
    });
    answer.apps = std::move(apps);
    return {};
}

constexpr JsonField<Answer> kAnswer[] = {{{"results"}, results}};

} // namespace

AppSearchService::Outcome<QList<AppInfo>> AppSearchService::decodeResults(const QByteArray& body, AppPlatform platform,
                                                                       int limit)
{
    using R = Outcome<QList<AppInfo>>;
    JsonScanner scan(body);
    if (scan.peek() != JsonScanner::Type::Object)
        return R::failure({ServiceError::Decoding, scan.failed() ? scan.error() : QStringLiteral("not an object")});
    Answer answer{platform, limit, std::nullopt};
    JsonFieldTable::readObject(scan, answer, kAnswer);
    if (!scan.finish())
        return R::failure({ServiceError::Decoding, scan.error()});
    if (!answer.apps)
        return R::failure({ServiceError::Decoding, QStringLiteral("results")});
    return *answer.apps;
}
