#include "Services/DataService.h"

#include "Services/Log.h"
#include "models/MakerInfo.h"

#include <QCoreApplication>

namespace {

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

QString transferProblem(const HttpResponse& response)
{
    switch (response.failure) {
    case HttpResponse::Failure::None:
        return QStringLiteral("the server answered with status %1").arg(response.status);
    case HttpResponse::Failure::Cancelled:
        return QStringLiteral("the request was cancelled");
    case HttpResponse::Failure::Timeout:
        return QStringLiteral("no complete answer within the time allowed");
    case HttpResponse::Failure::InvalidUrl:
    case HttpResponse::Failure::Network:
    case HttpResponse::Failure::TooLarge:
        break;
    }
    return response.errorString;
}

} // namespace

DataService::DataService(std::shared_ptr<HttpSession> session)
    : DataService(std::move(session), Options{})
{
}

DataService::DataService(std::shared_ptr<HttpSession> session, Options options)
    : m_session(std::move(session))
    , m_options(options)
{
}

QString DataService::defaultAppsListURL()
{
    QString base = qEnvironmentVariable("PLOVERA_MAKER_URL");
    if (base.isEmpty())
        base = QString::fromLatin1(MakerInfo::kWebsite);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QLatin1String(MakerInfo::kAppsListPath);
}

void DataService::getAppsData(const QString& appsUrl, Completion completion) const
{
    const std::source_location caller = std::source_location::current();
    const QUrl url(appsUrl, QUrl::StrictMode);
    const bool valid = isWebAddress(url);
    if (!valid || !m_session) {
        Log::error(valid ? QStringLiteral("Error fetching data: no session") : QStringLiteral("Invalid URL: ") + appsUrl,
                   caller);
        // Later, like every other outcome: a caller may rely on not being
        // called back from inside its own call.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [completion = std::move(completion)] { completion({}); },
            Qt::QueuedConnection);
        return;
    }
    // Detached: the coroutine holds what it needs and ends on its own.
    fetch(m_session, url, appsUrl, m_options, std::move(completion), caller);
}

QCoro::Task<> DataService::fetch(std::shared_ptr<HttpSession> session, QUrl url, QString appsUrl, Options options,
                                 Completion completion, std::source_location caller)
{
    // The deadline covers the whole transfer: a trickling server is cut off
    // as surely as a silent one.
    const HttpResponse response = co_await session->get(std::move(url), {}, options.maxAnswerBytes,
                                                         QDeadlineTimer(options.deadline), HttpSession::CacheUse::Bypass);

    // An error page is a failure like a lost connection, not a document.
    if (!response.isSuccess()) {
        Log::error(QStringLiteral("Error fetching data: ") + transferProblem(response), caller);
        completion({});
        co_return;
    }
    if (response.body.isEmpty()) {
        Log::error(QStringLiteral("No data found at URL: ") + appsUrl, caller);
        completion({});
        co_return;
    }
    auto decoded = AppData::decode(response.body);
    if (!decoded) {
        Log::error(QStringLiteral("Error decoding JSON: ") + decoded.error(), caller);
        completion({});
        co_return;
    }
    completion(std::move(decoded).value().apps);
}
