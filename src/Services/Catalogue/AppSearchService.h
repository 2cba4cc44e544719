#pragma once

#include "models/AppInfo.h"
#include "Services/Web/TransportFailure.h"
#include "Services/Web/WebClient.h"
#include "platform/CancellationToken.h"
#include "platform/HttpSession.h"
#include "platform/Result.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

#include <memory>

// Client of the catalogue's search and lookup interface. A small value: it
// holds a session and the base address, and can be copied freely; every
// request works on its own copy, so the caller may drop the client meanwhile.
class AppSearchService {
public:
    // The failures of this client beside the transport ones, each with its
    // fixed text for the user.
    enum class ServiceError {
        EmptyTerm,
        InvalidAppID,
        InvalidStorefront,
        Decoding,
        NotFound,
    };
    struct Error : ClientError<ServiceError> {
        using ClientError::ClientError;
        QString localizedDescription() const;
    };
    template <typename T>
    using Outcome = Result<T, Error>;

    static constexpr int kDefaultSearchLimit = 25;
    static constexpr qint64 kMaxAnswerBytes = 4 * 1024 * 1024;

    // Base address from PLOVERA_CATALOGUE_URL when set, else the public one.
    explicit AppSearchService(std::shared_ptr<HttpSession> session = HttpSession::shared());
    AppSearchService(std::shared_ptr<HttpSession> session, QUrl baseURL);

    static QUrl defaultBaseURL();
    QUrl baseURL() const { return m_baseURL; }
    std::shared_ptr<HttpSession> session() const { return m_web.session(); }

    QCoro::Task<Outcome<QList<AppInfo>>> search(QString term, AppPlatform platform, QString country,
                                                int limit = kDefaultSearchLimit, CancellationToken token = {}) const;

    // The app with `id` in `country`; NotFound when the storefront does not carry it.
    QCoro::Task<Outcome<AppInfo>> lookup(qint64 id, AppPlatform platform, QString country,
                                         CancellationToken token = {}) const;

    // The lookup, and when the app has no screenshots there, the screenshots of
    // the first other storefront that has some (the details stay the first one's).
    QCoro::Task<Outcome<AppInfo>> lookupWithScreenshots(qint64 id, AppPlatform platform, QString country,
                                                        CancellationToken token = {}) const;

    // Decoding of a search or lookup answer: at most `limit` apps; records
    // without a usable id or name are skipped.
    static Outcome<QList<AppInfo>> decodeResults(const QByteArray& body, AppPlatform platform,
                                                 int limit = kMaxResults);

    static constexpr int kMaxResults = 200;

private:
    QUrl endpoint(const char* name) const;
    static QCoro::Task<Outcome<QList<AppInfo>>> search(AppSearchService service, QString term, AppPlatform platform,
                                                       QString country, int limit, CancellationToken token);
    static QCoro::Task<Outcome<AppInfo>> lookup(AppSearchService service, qint64 id, AppPlatform platform,
                                                QString country, CancellationToken token);
    static QCoro::Task<Outcome<AppInfo>> lookupWithScreenshots(AppSearchService service, qint64 id,
                                                               AppPlatform platform, QString country,
                                                               CancellationToken token);
    static QCoro::Task<Outcome<QList<AppInfo>>> fetch(WebClient web, QUrl url, AppPlatform platform, int limit,
                                                      CancellationToken token);

    WebClient m_web;
    QUrl m_baseURL;
};
