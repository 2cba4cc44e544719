#include "Services/SensorTowerService.h"

#include "Services/HttpProblemMapping.h"
#include "Services/Log.h"

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

bool isAbsent(const QJsonValue& value)
{
    return value.isUndefined() || value.isNull();
}

std::optional<qint64> wholeNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < 0 || number > 9.0e15 || std::floor(number) != number)
        return std::nullopt;
    return static_cast<qint64>(number);
}

// Whether an app object names another app than the one asked for. Objects
// without an id are taken to be the one asked for.
bool isOtherApp(const QJsonObject& app, qint64 appID)
{
    const QJsonValue id = app.value(QLatin1String("app_id"));
    if (isAbsent(id))
        return false;
    if (const auto number = wholeNumber(id))
        return *number != appID;
    if (id.isString())
        return id.toString().trimmed() != QString::number(appID);
    return true;
}

// One humanized figure: {"<numberKey>": integer, "string": text}.
std::optional<Outcome> readFigure(const QJsonObject& app, const char* field, const char* numberKey, qint64* number,
                                  QString* text)
{
    const QJsonValue value = app.value(QLatin1String(field));
    if (isAbsent(value))
        return failure(ServiceError::NoEstimates, QStringLiteral("%1 missing").arg(QLatin1String(field)));
    if (!value.isObject())
        return failure(ServiceError::Decoding, QStringLiteral("%1 is not an object").arg(QLatin1String(field)));
    const QJsonObject figure = value.toObject();
    const QJsonValue numberValue = figure.value(QLatin1String(numberKey));
    const QJsonValue textValue = figure.value(QLatin1String("string"));
    if (isAbsent(numberValue) || isAbsent(textValue))
        return failure(ServiceError::NoEstimates, QStringLiteral("%1 incomplete").arg(QLatin1String(field)));
    const auto parsed = wholeNumber(numberValue);
    if (!parsed || !textValue.isString())
        return failure(ServiceError::Decoding, QStringLiteral("%1 has wrong types").arg(QLatin1String(field)));
    *number = *parsed;
    *text = textValue.toString();
    return std::nullopt;
}

} // namespace

QString SensorTowerService::Error::localizedDescription() const
{
    switch (kind) {
    case ServiceError::InvalidAppID:
        return QCoreApplication::translate("SensorTowerService", "App ID non valido.");
    case ServiceError::InvalidURL:
        return QCoreApplication::translate("SensorTowerService", "Indirizzo del servizio di stime non valido.");
    case ServiceError::Network:
        return QCoreApplication::translate(
            "SensorTowerService", "Impossibile raggiungere il servizio di stime. Controlla la connessione e riprova.");
    case ServiceError::Timeout:
        return QCoreApplication::translate("SensorTowerService",
                                           "Il servizio di stime non ha risposto in tempo. Riprova.");
    case ServiceError::TooLarge:
        return QCoreApplication::translate("SensorTowerService", "La risposta del servizio di stime è troppo grande.");
    case ServiceError::BadStatus:
        return QCoreApplication::translate("SensorTowerService",
                                           "Il servizio di stime ha risposto con un errore (codice %1).")
            .arg(detail);
    case ServiceError::NotJSON:
        return QCoreApplication::translate("SensorTowerService", "Il servizio di stime non ha inviato dati validi.");
    case ServiceError::Decoding:
        return QCoreApplication::translate("SensorTowerService", "Impossibile leggere i dati delle stime.");
    case ServiceError::NoEstimates:
        return QCoreApplication::translate("SensorTowerService", "Nessuna stima disponibile per questa app.");
    case ServiceError::Cancelled:
        return QCoreApplication::translate("SensorTowerService", "Richiesta annullata.");
    }
    return {};
}

SensorTowerService::SensorTowerService(std::shared_ptr<HttpSession> session)
    : SensorTowerService(std::move(session), defaultBaseURL())
{
}

SensorTowerService::SensorTowerService(std::shared_ptr<HttpSession> session, QUrl baseURL)
    : m_session(std::move(session))
    , m_baseURL(std::move(baseURL))
{
}

QUrl SensorTowerService::defaultBaseURL()
{
    const QByteArray fromEnvironment = qgetenv("PLOVERA_ESTIMATES_URL");
    return QUrl(fromEnvironment.isEmpty() ? QStringLiteral("https://app.sensortower.com")
                                          : QString::fromUtf8(fromEnvironment));
}

Result<QUrl, SensorTowerService::Error> SensorTowerService::requestURL(qint64 appID) const
{
    if (appID <= 0)
        return Result<QUrl, Error>::failure({ServiceError::InvalidAppID, QString::number(appID)});
    QUrl url = m_baseURL;
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    // The base address may be the host or the endpoint itself.
    if (!path.endsWith(QLatin1String("/api/ios/apps")))
        path += QStringLiteral("/api/ios/apps");
    url.setPath(path, QUrl::StrictMode);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("app_ids"), QString::number(appID));
    url.setQuery(query);
    return url;
}

QCoro::Task<SensorTowerService::Outcome> SensorTowerService::fetchMonetization(qint64 appID,
                                                                             CancellationToken token) const
{
    // The coroutine holds its own session, so the caller may drop this client while it runs.
    return fetch(m_session, requestURL(appID), appID, std::move(token));
}

QCoro::Task<SensorTowerService::Outcome> SensorTowerService::fetch(std::shared_ptr<HttpSession> session,
                                                                 Result<QUrl, Error> request, qint64 appID,
                                                                 CancellationToken token)
{
    if (!request) {
        Log::error(QStringLiteral("Invalid app id for estimates: %1").arg(appID));
        co_return Outcome::failure(request.error());
    }
    const QUrl url = request.value();
    const QString address = url.toString(QUrl::FullyEncoded);
    if (!session)
        co_return failure(ServiceError::Network, QStringLiteral("no session"));
    Log::info(QStringLiteral("GET %1").arg(address));
    const HttpResponse response = co_await session->get(url, token, kMaxAnswerBytes);

    auto failed = [&address](ServiceError kind, const QString& detail) {
        if (kind != ServiceError::Cancelled)
            Log::error(QStringLiteral("Estimates request failed: %1 (%2)").arg(detail, address));
        return failure(kind, detail);
    };
    if (response.failure == HttpResponse::Failure::None)
        Log::debug(QStringLiteral("HTTP %1 for %2").arg(response.status).arg(address));
    if (const auto problem = response.jsonProblem(); problem != HttpResponse::JsonProblem::None)
        co_return failed(serviceErrorFor<ServiceError>(problem), response.problemDetail());

    Outcome outcome = decode(response.body, appID, QDateTime::currentDateTime());
    if (!outcome)
        co_return failed(outcome.error().kind, outcome.error().detail);
    co_return outcome;
}

SensorTowerService::Outcome SensorTowerService::decode(const QByteArray& body, qint64 appID, const QDateTime& now)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failure(ServiceError::Decoding, parseError.errorString());

    QJsonArray apps;
    if (document.isArray()) {
        apps = document.array();
    } else {
        const QJsonValue list = document.object().value(QLatin1String("apps"));
        if (isAbsent(list))
            return failure(ServiceError::NoEstimates, QStringLiteral("no apps"));
        if (!list.isArray())
            return failure(ServiceError::Decoding, QStringLiteral("apps is not a list"));
        apps = list.toArray();
    }

    for (const QJsonValue& value : apps) {
        if (!value.isObject())
            return failure(ServiceError::Decoding, QStringLiteral("an app is not an object"));
        const QJsonObject app = value.toObject();
        if (isOtherApp(app, appID))
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
