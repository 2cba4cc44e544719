#include "Services/AppSearchService.h"

#include "Services/Log.h"
#include "models/StorefrontOption.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QUrlQuery>

#include <cmath>

namespace {
const QStringList kScreenshotFallbackStorefronts{QStringLiteral("US"), QStringLiteral("GB")};

// The web addresses of a list; the others are dropped.
QList<QUrl> webAddresses(const QJsonValue& value)
{
    QList<QUrl> urls;
    if (!value.isArray())
        return urls;
    const QJsonArray list = value.toArray();
    urls.reserve(list.size());
    for (const QJsonValue& item : list) {
        QUrl url = JsonFields::webAddress(item);
        if (!url.isEmpty())
            urls.append(std::move(url));
    }
    return urls;
}
} // namespace

QString AppSearchService::Error::localizedDescription() const
{
    switch (kind) {
    case ServiceError::EmptyTerm:
        return QCoreApplication::translate("AppSearchService", "Inserisci un termine di ricerca.");
    case ServiceError::InvalidAppID:
        return QCoreApplication::translate("AppSearchService", "App ID non valido.");
    case ServiceError::InvalidStorefront:
        return QCoreApplication::translate("AppSearchService", "Paese non valido.");
    case ServiceError::InvalidURL:
        return QCoreApplication::translate("AppSearchService", "Indirizzo della richiesta non valido.");
    case ServiceError::Network:
        return QCoreApplication::translate("AppSearchService", "Errore di rete. Controlla la connessione e riprova.");
    case ServiceError::Timeout:
        return QCoreApplication::translate("AppSearchService", "Il server non ha risposto in tempo. Riprova.");
    case ServiceError::BadStatus:
        return QCoreApplication::translate("AppSearchService", "Risposta del server non valida (codice %1).")
            .arg(detail);
    case ServiceError::TooLarge:
        return QCoreApplication::translate("AppSearchService", "La risposta del server è troppo grande.");
    case ServiceError::NotJSON:
        return QCoreApplication::translate("AppSearchService", "Risposta del server non valida.");
    case ServiceError::Decoding:
        return QCoreApplication::translate("AppSearchService", "Impossibile leggere i dati ricevuti.");
    case ServiceError::NotFound:
        return QCoreApplication::translate("AppSearchService", "App non trovata.");
    case ServiceError::Cancelled:
        return QCoreApplication::translate("AppSearchService", "Richiesta annullata.");
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
    // Encoded explicitly: a '+' or '&' in the term must reach the server as data.
    query.addQueryItem(QStringLiteral("term"), QString::fromLatin1(QUrl::toPercentEncoding(trimmed.left(200))));
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
        co_return R::failure({serviceErrorFor<ServiceError>(answer.error().problem), answer.error().detail});
    std::function<R(const QByteArray&)> decoder = [platform, limit](const QByteArray& body) {
        return decodeResults(body, platform, limit);
    };
    R apps = co_await WebClient::decode(answer.value(), std::move(decoder));
    if (!apps)
        WebClient::logFailure(apps.error().detail, url);
    co_return apps;
}

AppSearchService::Outcome<QList<AppInfo>> AppSearchService::decodeResults(const QByteArray& body, AppPlatform platform,
                                                                       int limit)
{
    using R = Outcome<QList<AppInfo>>;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return R::failure({ServiceError::Decoding, parseError.errorString()});
    const QJsonObject root = document.object();
    const QJsonValue results = root.value(QStringLiteral("results"));
    if (!results.isArray())
        return R::failure({ServiceError::Decoding, QStringLiteral("results")});
    const QJsonArray records = results.toArray();
    QList<AppInfo> apps;
    apps.reserve(std::min<qsizetype>(records.size(), std::max(limit, 0)));
    for (const QJsonValue& item : records) {
        if (apps.size() >= limit)
            break;
        if (!item.isObject())
            continue;
        if (auto app = decodeApp(item.toObject(), platform))
            apps.append(std::move(*app));
    }
    return apps;
}

std::optional<AppInfo> AppSearchService::decodeApp(const QJsonObject& record, AppPlatform platform)
{
    const auto id = JsonFields::wholeNumber(record.value(QLatin1String("trackId")), 1);
    const QString name = JsonFields::textOrEmpty(record.value(QLatin1String("trackName"))).trimmed();
    if (!id || name.isEmpty())
        return std::nullopt;

    AppInfo app;
    app.id = *id;
    app.name = name;
    app.developer = JsonFields::textOrEmpty(record.value(QLatin1String("artistName")));
    app.genre = JsonFields::textOrEmpty(record.value(QLatin1String("primaryGenreName")));
    app.description = JsonFields::textOrEmpty(record.value(QLatin1String("description")));
    app.platform = platform;
    for (const char* key : {"artworkUrl512", "artworkUrl100", "artworkUrl60"}) {
        app.iconURL = JsonFields::webAddress(record.value(QLatin1String(key)));
        if (!app.iconURL.isEmpty())
            break;
    }
    if (const QJsonValue count = record.value(QLatin1String("userRatingCount")); count.isDouble()) {
        const double value = count.toDouble();
        if (std::isfinite(value) && value >= 0 && value < 2.0e9)
            app.ratingCount = static_cast<int>(value);
    }
    if (const QJsonValue rating = record.value(QLatin1String("averageUserRating")); rating.isDouble()) {
        const double value = rating.toDouble();
        if (std::isfinite(value) && value >= 0 && value <= 5)
            app.averageRating = value;
    }
    if (const QJsonValue released = record.value(QLatin1String("releaseDate")); released.isString()) {
        const QDateTime date = QDateTime::fromString(released.toString(), Qt::ISODate);
        if (date.isValid())
            app.releaseDate = date;
    }
    // Each platform prefers its own screenshots and falls back to the others;
    // the others are read only when needed.
    const QLatin1String phone("screenshotUrls");
    const QLatin1String tablet("ipadScreenshotUrls");
    const bool tabletFirst = platform == AppPlatform::iPad;
    app.screenshotURLs = webAddresses(record.value(tabletFirst ? tablet : phone));
    if (app.screenshotURLs.isEmpty())
        app.screenshotURLs = webAddresses(record.value(tabletFirst ? phone : tablet));
    return app;
}
