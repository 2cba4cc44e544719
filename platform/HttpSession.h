#pragma once

#include "platform/CancellationToken.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include <chrono>
#include <memory>

class QAbstractNetworkCache;
class QNetworkAccessManager;
class QNetworkReply;

// What one GET brought back. Transport failures are values, never exceptions.
struct HttpResponse {
    enum class Failure {
        None,       // an HTTP answer arrived whole; `status` says which
        InvalidUrl, // not an http or https address; nothing was sent
        Network,    // no answer, or an answer cut short
        Timeout,    // no whole answer before the deadline, or a silence longer than the timeout
        TooLarge,   // the body grew beyond the cap and was abandoned
        Cancelled,  // the caller's token was cancelled
    };

    QUrl url;
    Failure failure = Failure::None;
    int status = 0;
    QByteArray body;
    QByteArray contentType;
    QString errorString;

    bool isSuccess() const { return failure == Failure::None && status >= 200 && status < 300; }
    bool isCancelled() const { return failure == Failure::Cancelled; }
    // True when the body announces itself as JSON (or says nothing about itself).
    bool looksLikeJson() const;

    // Why the body cannot be read as a JSON answer: the transport failure,
    // else a status outside 2xx, else a body announcing another content type.
    enum class JsonProblem { None, InvalidUrl, Network, Timeout, TooLarge, Cancelled, BadStatus, NotJson };
    JsonProblem jsonProblem() const;
    // The detail for the log: the transport's message, the status or the type.
    QString problemDetail() const;
};

// One URL session: one network manager with a deadline and a cap on answer
// sizes. Outstanding transfers are aborted when the session goes, so no
// awaiting coroutine is left hanging.
class HttpSession : public QObject {
    Q_OBJECT
public:
    struct Options {
        // The whole request, from sending to the last byte, must fit in this;
        // a server trickling bytes is cut off as surely as a silent one.
        std::chrono::milliseconds timeout{std::chrono::seconds(30)};
        qint64 maxBodyBytes = 8 * 1024 * 1024;
    };

    explicit HttpSession(QObject* parent = nullptr);
    HttpSession(Options options, QObject* parent = nullptr);
    ~HttpSession() override;

    // The process-wide shared session.
    static std::shared_ptr<HttpSession> shared();

    const Options& options() const { return m_options; }

    // Whether one request may be answered from, and stored in, the session's cache.
    enum class CacheUse { Normal, Bypass };

    // GET `url`. Only http and https are fetched; redirects are followed only
    // when they are not less safe. `maxBodyBytes` of 0 takes the session's cap.
    // The request ends as Timeout at `deadline` or after the session's timeout,
    // whichever comes first; a caller making several requests for one result
    // passes one deadline to all of them. An expired deadline sends nothing.
    QCoro::Task<HttpResponse> get(QUrl url, CancellationToken token = {}, qint64 maxBodyBytes = 0,
                                  QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever),
                                  CacheUse cacheUse = CacheUse::Normal);

    // Gives the session an HTTP cache (the session takes it over); none by default.
    void setCache(QAbstractNetworkCache* cache);

    int activeTransfers() const { return static_cast<int>(m_active.size()); }

private:
    static QCoro::Task<HttpResponse> performGet(QPointer<HttpSession> session, QUrl url, CancellationToken token,
                                                qint64 maxBodyBytes, QDeadlineTimer deadline, CacheUse cacheUse);

    Options m_options;
    QNetworkAccessManager* m_manager = nullptr;
    QSet<QNetworkReply*> m_active;
    bool m_closing = false;
};
