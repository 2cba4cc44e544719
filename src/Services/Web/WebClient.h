#pragma once

#include "platform/CancellationToken.h"
#include "platform/HttpSession.h"
#include "platform/Result.h"

#include <QCoroFuture>
#include <QCoroTask>
#include <QDeadlineTimer>
#include <QFuture>
#include <QJsonValue>
#include <QPromise>
#include <QString>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

// What every web client shares: a session, a cap on answer sizes, the base
// address from the environment, one GET with its log lines, and decoding of
// large answers away from the GUI thread. A small value, copied freely.
class WebClient {
public:
    // Why no usable JSON body came back, and the detail for the log.
    struct Failure {
        HttpResponse::JsonProblem problem;
        QString detail;
    };
    using Answer = Result<QByteArray, Failure>;

    // Answers at least this large are decoded on a worker thread.
    static constexpr qsizetype kBackgroundDecodeBytes = 64 * 1024;

    WebClient(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes);

    std::shared_ptr<HttpSession> session() const { return m_session; }
    qint64 maxAnswerBytes() const { return m_maxAnswerBytes; }
    // A deadline of the session's timeout from now, for work spanning requests.
    QDeadlineTimer newDeadline() const;

    // `variable` from the environment when set (read now), else `fallback`.
    static QUrl baseURL(const char* variable, const char* fallback);
    // `base` followed by the given segments; segments made from data must
    // arrive percent-encoded (see encoded()).
    static QUrl appendPath(const QUrl& base, const QList<QByteArray>& encodedSegments);
    static QByteArray encoded(const QString& segment) { return QUrl::toPercentEncoding(segment); }

    // GET `url` and hand back the body of a JSON answer. Logs the address, the
    // status and any failure but a cancellation.
    QCoro::Task<Answer> getJSON(QUrl url, CancellationToken token = {},
                                QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever)) const;

    // GET `url` and hand back its body whatever it holds: the sibling of
    // getJSON for documents of other kinds and for clients that word their own
    // failure lines. Logs the address and the status, but no failure: the
    // caller's line says what the failure means to it. The failure's problem
    // is never NotJson; its detail is transferProblem().
    QCoro::Task<Answer> getBody(QUrl url, CancellationToken token = {},
                                QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever),
                                HttpSession::CacheUse cacheUse = HttpSession::CacheUse::Normal) const;

    // Why a transfer brought no usable body, in words for the log.
    static QString transferProblem(const HttpResponse& response);

    static void logFailure(const QString& detail, const QUrl& url);

    // `decode(body)`, run on a worker thread when the body is large so that
    // the GUI thread stays responsive; the result comes back on the caller's
    // thread. `decode` must touch nothing but its argument.
    template <typename T>
    static QCoro::Task<T> decode(QByteArray body, std::function<T(const QByteArray&)> decoder);

private:
    static QCoro::Task<Answer> getJSON(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes, QUrl url,
                                       CancellationToken token, QDeadlineTimer deadline);
    static QCoro::Task<Answer> getBody(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes, QUrl url,
                                       CancellationToken token, QDeadlineTimer deadline,
                                       HttpSession::CacheUse cacheUse);
    // One GET with its address and status lines.
    static QCoro::Task<HttpResponse> loggedGet(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes,
                                               QUrl url, CancellationToken token, QDeadlineTimer deadline,
                                               HttpSession::CacheUse cacheUse);

    std::shared_ptr<HttpSession> m_session;
    qint64 m_maxAnswerBytes;
};

template <typename T>
QCoro::Task<T> WebClient::decode(QByteArray body, std::function<T(const QByteArray&)> decoder)
{
    if (body.size() < kBackgroundDecodeBytes)
        co_return decoder(body);
    auto result = std::make_shared<std::optional<T>>();
    auto promise = std::make_shared<QPromise<void>>();
    QFuture<void> done = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([body, decoder, result, promise] {
        result->emplace(decoder(body));
        promise->finish();
    });
    co_await done;
    co_return std::move(**result);
}

// Readers of fields of untrusted JSON shared by the clients.
class JsonFields {
public:
    static bool isAbsent(const QJsonValue& value) { return value.isUndefined() || value.isNull(); }
    // A whole number from `minimum` up to 9e15 (exact in a double).
    static std::optional<qint64> wholeNumber(const QJsonValue& value, qint64 minimum);

    // Whether `text` can be an http or https address with a host, checked
    // without building a URL; only what passes is worth building.
    static bool looksLikeWebAddress(QStringView text);
    // The http or https address with a host in `text`, else an empty URL.
    static QUrl webAddress(const QString& text);
};
