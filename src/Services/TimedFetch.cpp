#include "Services/TimedFetch.h"

#include "platform/CancellationToken.h"

#include <QTimer>

QCoro::Task<TimedResponse> getWithDeadline(std::shared_ptr<HttpSession> session, QUrl url, qint64 maxBodyBytes,
                                           std::chrono::milliseconds deadline, HttpSession::CacheUse cacheUse)
{
    TimedResponse result;
    CancellationSource source;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&result, source]() mutable {
        result.timedOut = true;
        source.cancel();
    });
    timer.start(deadline);
    result.response = co_await session->get(std::move(url), source.token(), maxBodyBytes, cacheUse);
    timer.stop();
    co_return result;
}
