#include "Services/AppSearchService.h"

#include "Services/HttpProblemMapping.h"
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

std::optional<qint64> positiveInteger(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < 1 || number > 9.0e15 || std::floor(number) != number)
        return std::nullopt;
    return static_cast<qint64>(number);
}

QUrl webAddress(const QJsonValue& value)
{
    if (!value.isString())
        return {};
    const QUrl url(value.toString(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

QList<QUrl> webAddresses(const QJsonValue& value)
{
    QList<QUrl> urls;
    if (!value.isArray())
        return urls;
    for (const QJsonValue& item : value.toArray()) {
        const QUrl url = webAddress(item);
        if (!url.isEmpty())
            urls.append(url);
    }
    return urls;
}

QString text(const QJsonValue& value)
{
    return value.isString() ? value.toString() : QString();
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
    const QByteArray fromEnvironment = qgetenv("PLOVERA_CATALOGUE_URL");
    if (!fromEnvironment.isEmpty())
        return QUrl(QString::fromUtf8(fromEnvironment));
    return QUrl(QStringLiteral("https://itunes.apple.com"));
}

AppSearchService::AppSearchService(std::shared_ptr<HttpSession> session)
    : AppSearchService(std::move(session), defaultBaseURL())
{
}

AppSearchService::AppSearchService(std::shared_ptr<HttpSession> session, QUrl baseURL)
    : m_session(std::move(session))
    , m_baseURL(std::move(baseURL))
{
}

QCoro::Task<AppSearchService::Outcome<QList<AppInfo>>> AppSearchService::search(QString term, AppPlatform platform,
                                                                              QString country, int limit,
                                                                              CancellationToken token) const
{
    const QString trimmed = term.trimmed();
    if (trimmed.isEmpty())
        co_return Outcome<QList<AppInfo>>::failure({ServiceError::EmptyTerm, {}});
    const auto storefront = StorefrontOption::option(country.trimmed());
    if (!storefront)
        co_return Outcome<QList<AppInfo>>::failure({ServiceError::InvalidStorefront, country});

    QUrl url = m_baseURL;
    url.setPath(url.path().chopped(url.path().endsWith(QLatin1Char('/')) ? 1 : 0) + QStringLiteral("/search"));
    QUrlQuery query;
    // Encoded explicitly: a '+' or '&' in the term must reach the server as data.
    query.addQueryItem(QStringLiteral("term"), QString::fromLatin1(QUrl::toPercentEncoding(trimmed.left(200))));
    query.addQueryItem(QStringLiteral("entity"), rawValue(platform));
    query.addQueryItem(QStringLiteral("limit"), QString::number(std::clamp(limit, 1, 200)));
    query.addQueryItem(QStringLiteral("country"), storefront->code.toLower());
    url.setQuery(query);
    co_return co_await fetch(url, platform, token);
}

QCoro::Task<AppSearchService::Outcome<AppInfo>> AppSearchService::lookup(qint64 id, AppPlatform platform,
                                                                       QString country,
                                                                       CancellationToken token) const
{
    if (id <= 0)
        co_return Outcome<AppInfo>::failure({ServiceError::InvalidAppID, QString::number(id)});
    const auto storefront = StorefrontOption::option(country.trimmed());
    if (!storefront)
        co_return Outcome<AppInfo>::failure({ServiceError::InvalidStorefront, country});

    QUrl url = m_baseURL;
    url.setPath(url.path().chopped(url.path().endsWith(QLatin1Char('/')) ? 1 : 0) + QStringLiteral("/lookup"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("id"), QString::number(id));
    query.addQueryItem(QStringLiteral("entity"), rawValue(platform));
    query.addQueryItem(QStringLiteral("country"), storefront->code.toLower());
    url.setQuery(query);
    auto outcome = co_await fetch(url, platform, token);
    if (!outcome)
        co_return Outcome<AppInfo>::failure(outcome.error());
    // A lookup may answer with related records; the app is the one with its id.
    for (const AppInfo& app : outcome.value()) {
        if (app.id == id)
            co_return app;
    }
    co_return Outcome<AppInfo>::failure({ServiceError::NotFound, QString::number(id)});
}

QCoro::Task<AppSearchService::Outcome<AppInfo>> AppSearchService::lookupWithScreenshots(qint64 id, AppPlatform platform,
                                                                                      QString country,
                                                                                      CancellationToken token) const
{
    auto outcome = co_await lookup(id, platform, country, token);
    if (!outcome || !outcome.value().screenshotURLs.isEmpty())
        co_return outcome;
    AppInfo app = outcome.value();
    for (const QString& other : kScreenshotFallbackStorefronts) {
        if (token.isCancelled())
            break;
        if (other.compare(country, Qt::CaseInsensitive) == 0)
            continue;
        const auto fallback = co_await lookup(id, platform, other, token);
        if (fallback && !fallback.value().screenshotURLs.isEmpty()) {
            app.screenshotURLs = fallback.value().screenshotURLs;
            break;
        }
    }
    co_return app;
}

QCoro::Task<AppSearchService::Outcome<QList<AppInfo>>> AppSearchService::fetch(QUrl url, AppPlatform platform,
                                                                             CancellationToken token) const
{
    using R = Outcome<QList<AppInfo>>;
    if (!m_session)
        co_return R::failure({ServiceError::Network, {}});
    Log::info(QStringLiteral("GET %1").arg(url.toString()));
    const HttpResponse response = co_await m_session->get(url, token, kMaxAnswerBytes);
    if (response.failure == HttpResponse::Failure::None)
        Log::info(QStringLiteral("Status %1 for %2").arg(response.status).arg(url.toString()));
    if (const auto problem = response.jsonProblem(); problem != HttpResponse::JsonProblem::None) {
        if (problem != HttpResponse::JsonProblem::Cancelled)
            Log::error(QStringLiteral("Request failed: %1 (%2)").arg(response.problemDetail(), url.toString()));
        co_return R::failure({serviceErrorFor<ServiceError>(problem), response.problemDetail()});
    }
    co_return decodeResults(response.body, platform);
}

AppSearchService::Outcome<QList<AppInfo>> AppSearchService::decodeResults(const QByteArray& body, AppPlatform platform)
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
    QList<AppInfo> apps;
    for (const QJsonValue& item : results.toArray()) {
        if (!item.isObject())
            continue;
        if (auto app = decodeApp(item.toObject(), platform))
            apps.append(std::move(*app));
    }
    return apps;
}

std::optional<AppInfo> AppSearchService::decodeApp(const QJsonObject& record, AppPlatform platform)
{
    const auto id = positiveInteger(record.value(QStringLiteral("trackId")));
    const QString name = text(record.value(QStringLiteral("trackName"))).trimmed();
    if (!id || name.isEmpty())
        return std::nullopt;

    AppInfo app;
    app.id = *id;
    app.name = name;
    app.developer = text(record.value(QStringLiteral("artistName")));
    app.genre = text(record.value(QStringLiteral("primaryGenreName")));
    app.description = text(record.value(QStringLiteral("description")));
    app.platform = platform;
    for (const char* key : {"artworkUrl512", "artworkUrl100", "artworkUrl60"}) {
        app.iconURL = webAddress(record.value(QLatin1String(key)));
        if (!app.iconURL.isEmpty())
            break;
    }
    if (const QJsonValue count = record.value(QStringLiteral("userRatingCount")); count.isDouble()) {
        const double value = count.toDouble();
        if (std::isfinite(value) && value >= 0 && value < 2.0e9)
            app.ratingCount = static_cast<int>(value);
    }
    if (const QJsonValue rating = record.value(QStringLiteral("averageUserRating")); rating.isDouble()) {
        const double value = rating.toDouble();
        if (std::isfinite(value) && value >= 0 && value <= 5)
            app.averageRating = value;
    }
    if (const QJsonValue released = record.value(QStringLiteral("releaseDate")); released.isString()) {
        const QDateTime date = QDateTime::fromString(released.toString(), Qt::ISODate);
        if (date.isValid())
            app.releaseDate = date;
    }
    const QList<QUrl> phone = webAddresses(record.value(QStringLiteral("screenshotUrls")));
    const QList<QUrl> tablet = webAddresses(record.value(QStringLiteral("ipadScreenshotUrls")));
    // Each platform prefers its own screenshots and falls back to the others.
    if (platform == AppPlatform::iPad)
        app.screenshotURLs = tablet.isEmpty() ? phone : tablet;
    else
        app.screenshotURLs = phone.isEmpty() ? tablet : phone;
    return app;
}
