#include "Services/TimedFetch.h"

#include "platform/CancellationToken.h"

QCoro::Task<TimedResponse> getWithDeadline(std::shared_ptr<HttpSession> session, QUrl url, qint64 maxBodyBytes,
                                           std::chrono::milliseconds deadline, HttpSession::CacheUse cacheUse)
{
    TimedResponse result;
    result.response = co_await session->get(std::move(url), {}, maxBodyBytes, QDeadlineTimer(deadline), cacheUse);
    result.timedOut = result.response.failure == HttpResponse::Failure::Timeout;
    co_return result;
}
