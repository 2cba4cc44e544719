#pragma once

#include "platform/HttpSession.h"

#include <QCoroTask>

#include <chrono>
#include <memory>

// One GET that must end whole within `deadline`. The session's transfer
// timeout only notices silence; a server that trickles its answer would
// otherwise hold the request open for as long as it likes.
struct TimedResponse {
    HttpResponse response;
    bool timedOut = false; // the deadline cut the transfer off
};

QCoro::Task<TimedResponse> getWithDeadline(std::shared_ptr<HttpSession> session, QUrl url, qint64 maxBodyBytes,
                                           std::chrono::milliseconds deadline,
                                           HttpSession::CacheUse cacheUse = HttpSession::CacheUse::Normal);
