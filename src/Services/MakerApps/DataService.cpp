#include "Services/MakerApps/DataService.h"

#include "Services/Log.h"
#include "models/MakerInfo.h"

#include <QCoreApplication>

DataService::DataService(std::shared_ptr<HttpSession> session)
    : DataService(std::move(session), Options{})
{
}

DataService::DataService(std::shared_ptr<HttpSession> session, Options options)
    : m_client(std::move(session), options.maxAnswerBytes)
    , m_options(options)
{
}

QString DataService::defaultAppsListURL()
{
    const QUrl base = WebClient::baseURL("PLOVERA_MAKER_URL", MakerInfo::kWebsite);
    // The list's path is a fixed text, already fit to stand in an address.
    return WebClient::appendPath(base, {QByteArray(MakerInfo::kAppsListPath).mid(1)}).toString();
}

void DataService::getAppsData(const QString& appsUrl, Completion completion) const
{
    const std::source_location caller = std::source_location::current();
    const QUrl url = JsonFields::webAddress(appsUrl);
    const bool valid = !url.isEmpty();
    if (!valid || !m_client.session()) {
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
    fetch(m_client, url, appsUrl, m_options.deadline, std::move(completion), caller);
}

QCoro::Task<> DataService::fetch(WebClient client, QUrl url, QString appsUrl, std::chrono::milliseconds deadline,
                                 Completion completion, std::source_location caller)
{
    // The deadline covers the whole transfer: a trickling server is cut off
    // as surely as a silent one. An error page is a failure like a lost
    // connection, not a document.
    const WebClient::Answer answer =
        co_await client.getBody(std::move(url), {}, QDeadlineTimer(deadline), HttpSession::CacheUse::Bypass);
    if (!answer) {
        Log::error(QStringLiteral("Error fetching data: ") + answer.error().detail, caller);
        completion({});
        co_return;
    }
    if (answer.value().isEmpty()) {
        Log::error(QStringLiteral("No data found at URL: ") + appsUrl, caller);
        completion({});
        co_return;
    }
    // A long list decodes on a worker thread, so the sheet keeps drawing.
    auto decoded = co_await WebClient::decode<Result<AppData, QString>>(answer.value(), &AppData::decode);
    if (!decoded) {
        Log::error(QStringLiteral("Error decoding JSON: ") + decoded.error(), caller);
        completion({});
        co_return;
    }
    completion(std::move(decoded).value().apps);
}
