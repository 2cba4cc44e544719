#include "platform/HttpSession.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
// Enough for a typical answer in a few reads, small beside any cap.
constexpr qint64 kReadBufferBytes = 64 * 1024;

// Failures of the connection itself (refused, a failed handshake, a redirect
// that went nowhere, too many of them) and of the protocol, as opposed to an
// answer of the server's that Qt turns into an error.
bool isConnectionError(QNetworkReply::NetworkError error)
{
    return (error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)
        || (error >= QNetworkReply::ProtocolUnknownError && error <= QNetworkReply::ProtocolFailure);
}
} // namespace

bool HttpResponse::looksLikeJson() const
{
    const QByteArray type = contentType.toLower();
    if (type.isEmpty())
        return true;
    return type.contains("json") || type.contains("javascript");
}

HttpResponse::JsonProblem HttpResponse::jsonProblem() const
{
    switch (failure) {
    case Failure::None:
        break;
    case Failure::InvalidUrl:
        return JsonProblem::InvalidUrl;
    case Failure::Network:
        return JsonProblem::Network;
    case Failure::Timeout:
        return JsonProblem::Timeout;
    case Failure::TooLarge:
        return JsonProblem::TooLarge;
    case Failure::Cancelled:
        return JsonProblem::Cancelled;
    }
    if (!isSuccess())
        return JsonProblem::BadStatus;
    if (!looksLikeJson())
        return JsonProblem::NotJson;
    return JsonProblem::None;
}

QString HttpResponse::problemDetail() const
{
    if (failure == Failure::Cancelled)
        return QStringLiteral("cancelled");
    if (failure != Failure::None)
        return errorString;
    if (!isSuccess())
        return QString::number(status);
    return QString::fromLatin1(contentType);
}

HttpSession::HttpSession(QObject* parent)
    : HttpSession(Options{}, parent)
{
}

HttpSession::HttpSession(Options options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_manager(new QNetworkAccessManager(this))
{
    m_manager->setTransferTimeout(static_cast<int>(m_options.timeout.count()));
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

HttpSession::~HttpSession()
{
    // Aborting finishes each reply at once, which resumes its awaiting coroutine
    // while the reply still exists.
    // The replies are taken from the manager first: it deletes its children,
    // and the resumption of an awaiting coroutine is delivered to the reply.
    m_closing = true;
    const auto active = m_active;
    for (QNetworkReply* reply : active) {
        reply->setParent(nullptr);
        reply->abort();
    }
}

std::shared_ptr<HttpSession> HttpSession::shared()
{
    static std::weak_ptr<HttpSession> instance;
    auto session = instance.lock();
    if (!session) {
        session = std::make_shared<HttpSession>();
        instance = session;
    }
    return session;
}

QCoro::Task<HttpResponse> HttpSession::get(QUrl url, CancellationToken token, qint64 maxBodyBytes,
                                           QDeadlineTimer deadline, CacheUse cacheUse)
{
    const QDeadlineTimer own(m_options.timeout);
    return performGet(QPointer<HttpSession>(this), std::move(url), std::move(token),
                      maxBodyBytes > 0 ? maxBodyBytes : m_options.maxBodyBytes, std::min(own, deadline), cacheUse);
}

void HttpSession::setCache(QAbstractNetworkCache* cache)
{
    m_manager->setCache(cache);
}

QCoro::Task<HttpResponse> HttpSession::performGet(QPointer<HttpSession> session, QUrl url, CancellationToken token,
                                                  qint64 maxBodyBytes, QDeadlineTimer deadline, CacheUse cacheUse)
{
    HttpResponse response;
    response.url = url;
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        response.failure = HttpResponse::Failure::InvalidUrl;
        response.errorString = QStringLiteral("unsupported address");
        co_return response;
    }
    if (!session || token.isCancelled()) {
        response.failure = HttpResponse::Failure::Cancelled;
        co_return response;
    }
    if (deadline.hasExpired()) {
        response.failure = HttpResponse::Failure::Timeout;
        response.errorString = QStringLiteral("no time left for the request");
        co_return response;
    }

    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json, */*;q=0.5");
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Plovera/" PLOVERA_PLATFORM_VERSION));
    if (cacheUse == CacheUse::Bypass) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    }
    QNetworkReply* reply = session->m_manager->get(request);
    session->m_active.insert(reply);
    // Unbounded, Qt goes on reading from the socket into its own buffer,
    // however little of it is taken; capped, it reads on only as the watcher
    // below takes what it holds, so no more than the cap and one buffer is
    // ever held, and a huge answer is cut off soon after the cap.
    reply->setReadBufferSize(kReadBufferBytes);

    // Flags and the body written by the watchers below; the frame outlives
    // every watcher because all of them are disconnected before the coroutine
    // returns.
    bool tooLarge = false;
    bool cancelled = false;
    bool timedOut = false;
    QByteArray body;
    QObject guard;
    // Qt's transfer timeout only notices silence; this ends the whole exchange.
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    deadlineTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &guard, [reply, &timedOut] {
        timedOut = true;
        reply->abort();
    });
    deadlineTimer.start(std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime())));
    // An announced length over the cap ends the transfer at its first bytes.
    QObject::connect(reply, &QNetworkReply::downloadProgress, &guard,
                     [reply, maxBodyBytes, &tooLarge](qint64, qint64 total) {
                         if (total > maxBodyBytes) {
                             tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply, &QNetworkReply::readyRead, &guard, [reply, maxBodyBytes, &tooLarge, &body] {
        if (tooLarge)
            return;
        body += reply->readAll();
        if (body.size() > maxBodyBytes) {
            tooLarge = true;
            body.clear();
            reply->abort();
        }
    });
    token.onCancel(&guard, [reply, &cancelled] {
        cancelled = true;
        reply->abort();
    });

    if (!reply->isFinished())
        co_await qCoro(reply).waitForFinished();
    deadlineTimer.stop();
    guard.disconnect();
    QObject::disconnect(reply, nullptr, &guard, nullptr);

    if (session)
        session->m_active.remove(reply);

    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QNetworkReply::NetworkError error = reply->error();

    if (cancelled || token.isCancelled()) {
        response.failure = HttpResponse::Failure::Cancelled;
    } else if (timedOut) {
        response.failure = HttpResponse::Failure::Timeout;
        response.errorString = QStringLiteral("no whole answer within the deadline");
    } else if (tooLarge) {
        response.failure = HttpResponse::Failure::TooLarge;
        response.errorString = QStringLiteral("answer larger than %1 bytes").arg(maxBodyBytes);
    } else if (error == QNetworkReply::OperationCanceledError) {
        // Aborted by the transfer timeout, or by the session going away.
        response.failure = (session && !session->m_closing) ? HttpResponse::Failure::Timeout
                                                             : HttpResponse::Failure::Cancelled;
        response.errorString = reply->errorString();
    } else if (error != QNetworkReply::NoError && (response.status == 0 || isConnectionError(error))) {
        // No answer came, whatever status a redirect on the way left behind.
        response.failure = HttpResponse::Failure::Network;
        response.errorString = reply->errorString();
    } else if (error != QNetworkReply::NoError && response.status >= 200 && response.status < 300) {
        // A success status with a broken transfer (connection closed early).
        response.failure = HttpResponse::Failure::Network;
        response.errorString = reply->errorString();
    } else {
        response.body = std::move(body) + reply->readAll();
        // The transport does not always report an answer cut short; an
        // uncompressed body shorter than announced is one.
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
        const bool plainBody = encoding.isEmpty() || encoding == "identity";
        if (plainBody && announced.isValid() && response.body.size() < announced.toLongLong()) {
            response.body.clear();
            response.failure = HttpResponse::Failure::Network;
            response.errorString = QStringLiteral("answer cut short");
        } else if (response.body.size() > maxBodyBytes) {
            response.body.clear();
            response.failure = HttpResponse::Failure::TooLarge;
            response.errorString = QStringLiteral("answer larger than %1 bytes").arg(maxBodyBytes);
        }
    }
    reply->deleteLater();
    co_return response;
}
