#pragma once

#include "models/AppMonetization.h"
#include "Services/Web/TransportFailure.h"
#include "Services/Web/WebClient.h"
#include "platform/CancellationToken.h"
#include "platform/HttpSession.h"
#include "platform/Result.h"

#include <QCoroTask>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <memory>

// Client of the market-estimates service: last month's estimated worldwide
// downloads and revenue of one app. A small value, copied freely.
class SensorTowerService {
public:
    // The failures of this client beside the transport ones, each with its
    // fixed text for the user.
    enum class ServiceError {
        InvalidAppID,
        Decoding,
        NoEstimates,
    };
    struct Error : ClientError<ServiceError> {
        using ClientError::ClientError;
        QString localizedDescription() const;
    };
    using Outcome = Result<AppMonetization, Error>;

    static constexpr qint64 kMaxAnswerBytes = 2 * 1024 * 1024;

    // Base address from PLOVERA_ESTIMATES_URL when set (read now), else the public one.
    explicit SensorTowerService(std::shared_ptr<HttpSession> session = HttpSession::shared());
    SensorTowerService(std::shared_ptr<HttpSession> session, QUrl baseURL);

    static QUrl defaultBaseURL();
    std::shared_ptr<HttpSession> session() const { return m_web.session(); }
    QUrl baseURL() const { return m_baseURL; }

    QCoro::Task<Outcome> fetchMonetization(qint64 appID, CancellationToken token = {}) const;

    Result<QUrl, Error> requestURL(qint64 appID) const;

    // The estimates of `appID` in an answer that is either a list of apps or
    // an object whose `apps` holds that list (any other shape is Decoding);
    // only the record whose `app_id` is `appID` counts. `now` becomes `lastUpdated`.
    static Outcome decode(const QByteArray& body, qint64 appID, const QDateTime& now);

private:
    static QCoro::Task<Outcome> fetch(WebClient web, Result<QUrl, Error> url, qint64 appID, CancellationToken token);

    WebClient m_web;
    QUrl m_baseURL;
};
