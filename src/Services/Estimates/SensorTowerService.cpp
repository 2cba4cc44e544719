#include "Services/Estimates/SensorTowerService.h"

#include "Services/Log.h"
#include "models/CatalogueID.h"
#include "platform/WallClock.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QUrlQuery>

#include <cmath>

namespace {

using Outcome = SensorTowerService::Outcome;
using ServiceError = SensorTowerService::ServiceError;

Outcome failure(ServiceError kind, const QString& detail)
{
    return Outcome::failure({kind, detail});
}

// Whether an app object is the one asked for. Only a record carrying that
// id counts: a record without one could be any app.
bool isApp(const QJsonObject& app, qint64 appID)
{
    const QJsonValue id = app.value(QLatin1String("app_id"));
    if (const auto number = JsonFields::wholeNumber(id, 1))
        return *number == appID;
    if (id.isString())
        return CatalogueID::parsePositive(id.toString().trimmed()) == appID;
    return false;
}

// One humanized figure: {"<numberKey>": integer, "string": text}.
std::optional<Outcome> readFigure(const QJsonObject& app, const char* field, const char* numberKey, qint64* number,
                                  QString* text)
{
    const QJsonValue value = app.value(QLatin1String(field));
    if (JsonFields::isAbsent(value))
        return failure(ServiceError::NoEstimates, QStringLiteral("%1 missing").arg(QLatin1String(field)));
    if (!value.isObject())
        return failure(ServiceError::Decoding, QStringLiteral("%1 is not an object").arg(QLatin1String(field)));
    const QJsonObject figure = value.toObject();
    const QJsonValue numberValue = figure.value(QLatin1String(numberKey));
    const QJsonValue textValue = figure.value(QLatin1String("string"));
    if (JsonFields::isAbsent(numberValue) || JsonFields::isAbsent(textValue))
        return failure(ServiceError::NoEstimates, QStringLiteral("%1 incomplete").arg(QLatin1String(field)));
    const auto parsed = JsonFields::wholeNumber(numberValue, 0);
    if (!parsed || !textValue.isString())
        return failure(ServiceError::Decoding, QStringLiteral("%1 has wrong types").arg(QLatin1String(field)));
    // A blank wording is no estimate to show.
    if (textValue.toString().trimmed().isEmpty())
        return failure(ServiceError::NoEstimates, QStringLiteral("%1 is blank").arg(QLatin1String(field)));
    *number = *parsed;
    *text = textValue.toString();
    return std::nullopt;
}

const TransportTexts kTransportTexts{
    "SensorTowerService",
    QT_TRANSLATE_NOOP("SensorTowerService", "Indirizzo del servizio di stime non valido."),
    QT_TRANSLATE_NOOP("SensorTowerService", "Impossibile raggiungere il servizio di stime. Controlla la connessione e riprova."),
    QT_TRANSLATE_NOOP("SensorTowerService", "Il servizio di stime non ha risposto in tempo. Riprova."),
    QT_TRANSLATE_NOOP("SensorTowerService", "La risposta del servizio di stime è troppo grande."),
    QT_TRANSLATE_NOOP("SensorTowerService", "Il servizio di stime ha risposto con un errore (codice %1)."),
    QT_TRANSLATE_NOOP("SensorTowerService", "Il servizio di stime non ha inviato dati validi."),
    QT_TRANSLATE_NOOP("SensorTowerService", "Richiesta annullata."),
};
} // namespace

QString SensorTowerService::Error::localizedDescription() const
{
    if (const auto failure = transport())
        return describe(*failure, kTransportTexts, detail);
    switch (std::get<ServiceError>(kind)) {
    case ServiceError::InvalidAppID:
        return QCoreApplication::translate("SensorTowerService", "App ID non valido.");
    case ServiceError::Decoding:
        return QCoreApplication::translate("SensorTowerService", "Impossibile leggere i dati delle stime.");
    case ServiceError::NoEstimates:
        return QCoreApplication::translate("SensorTowerService", "Nessuna stima disponibile per questa app.");
    }
    return {};
}

SensorTowerService::SensorTowerService(std::shared_ptr<HttpSession> session)
    : SensorTowerService(std::move(session), defaultBaseURL())
{
}

SensorTowerService::SensorTowerService(std::shared_ptr<HttpSession> session, QUrl baseURL)
    : m_web(std::move(session), kMaxAnswerBytes)
    , m_baseURL(std::move(baseURL))
{
}

QUrl SensorTowerService::defaultBaseURL()
{
    return WebClient::baseURL("PLOVERA_ESTIMATES_URL", "https://app.sensortower.com");
}

Result<QUrl, SensorTowerService::Error> SensorTowerService::requestURL(qint64 appID) const
{
    if (appID <= 0)
        return Result<QUrl, Error>::failure({ServiceError::InvalidAppID, QString::number(appID)});
    // The base address may be the host or the endpoint itself (the main
    // window hands over the endpoint).
    QString path = m_baseURL.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    QUrl url = path.endsWith(QLatin1String("/api/ios/apps")) ? m_baseURL
                                                             : WebClient::appendPath(m_baseURL, {"api", "ios", "apps"});
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("app_ids"), QString::number(appID));
    url.setQuery(query);
    return url;
}

QCoro::Task<SensorTowerService::Outcome> SensorTowerService::fetchMonetization(qint64 appID,
                                                                             CancellationToken token) const
{
    // The coroutine works on a copy, so the caller may drop this client while it runs.
    return fetch(m_web, requestURL(appID), appID, std::move(token));
}

QCoro::Task<SensorTowerService::Outcome> SensorTowerService::fetch(WebClient web, Result<QUrl, Error> request,
                                                                 qint64 appID, CancellationToken token)
{
    if (!request) {
        Log::error(QStringLiteral("Invalid app id for estimates: %1").arg(appID));
        co_return Outcome::failure(request.error());
    }
    const QUrl url = request.value();
    const WebClient::Answer answer = co_await web.getJSON(url, token);
    if (!answer)
        co_return Outcome::failure({transportFailureFor(answer.error().problem), answer.error().detail});
    const QDateTime now = WallClock::now();
    std::function<Outcome(const QByteArray&)> decoder = [appID, now](const QByteArray& body) {
        return decode(body, appID, now);
    };
    Outcome outcome = co_await WebClient::decode(answer.value(), std::move(decoder));
    if (!outcome)
        WebClient::logFailure(outcome.error().detail, url);
    co_return outcome;
}

SensorTowerService::Outcome SensorTowerService::decode(const QByteArray& body, qint64 appID, const QDateTime& now)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failure(ServiceError::Decoding, parseError.errorString());

    // Either the list of apps itself or an object holding it under `apps`;
    // any other shape says nothing about the app.
    QJsonArray apps;
    if (document.isArray()) {
        apps = document.array();
    } else {
        const QJsonValue list = document.object().value(QLatin1String("apps"));
        if (!list.isArray())
            return failure(ServiceError::Decoding, QStringLiteral("neither a list nor an object with apps"));
        apps = list.toArray();
    }

    for (const QJsonValue& value : apps) {
        if (!value.isObject())
            return failure(ServiceError::Decoding, QStringLiteral("an app is not an object"));
        const QJsonObject app = value.toObject();
        if (!isApp(app, appID))
            continue;
        AppMonetization monetization;
        if (auto problem = readFigure(app, "humanized_worldwide_last_month_downloads", "downloads",
                                      &monetization.downloads, &monetization.downloadsString))
            return *problem;
        if (auto problem = readFigure(app, "humanized_worldwide_last_month_revenue", "revenue", &monetization.revenue,
                                      &monetization.revenueString))
            return *problem;
        monetization.lastUpdated = now;
        return monetization;
    }
    return failure(ServiceError::NoEstimates, QStringLiteral("app %1 not in the answer").arg(appID));
}
