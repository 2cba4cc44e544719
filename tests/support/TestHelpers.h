#pragma once

// Small helpers shared by the test programs. Header-only: the programs link
// the application library that provides Log.

#include "Services/Log.h"

#include <QCoroTask>
#include <QEventLoop>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <optional>

namespace TestDetail {
// Runs `task` on a nested event loop until it ends. A task still running after
// `limit` fails the test program at once: a hung coroutine must not hang the suite.
inline void runWithin(QCoro::Task<> task, std::chrono::milliseconds limit, bool* done)
{
    QEventLoop loop;
    auto finisher = [](QCoro::Task<> inner, bool* flag, QEventLoop* owner) -> QCoro::Task<> {
        co_await std::move(inner);
        *flag = true;
        owner->quit();
    };
    auto running = finisher(std::move(task), done, &loop);
    if (!*done) {
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!*done) {
        QTest::qFail("awaitTask: the task did not finish in time", __FILE__, __LINE__);
        // The task still refers to this frame; nothing can safely go on.
        std::_Exit(EXIT_FAILURE);
    }
}
} // namespace TestDetail

// Runs a task to its end on a nested event loop and returns its result, also
// for results that cannot be default-constructed.
template <typename T>
T awaitTask(QCoro::Task<T> task, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    std::optional<T> result;
    auto run = [](QCoro::Task<T> inner, std::optional<T>* out) -> QCoro::Task<> {
        out->emplace(co_await std::move(inner));
    };
    bool done = false;
    TestDetail::runWithin(run(std::move(task), &result), limit, &done);
    return std::move(*result);
}

inline void awaitTask(QCoro::Task<> task, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    bool done = false;
    TestDetail::runWithin(std::move(task), limit, &done);
}

// Collects the log lines written from start() on, instead of printing them.
struct LogCapture {
    static QStringList& lines()
    {
        static QStringList captured;
        return captured;
    }
    static void start()
    {
        lines().clear();
        Log::setSinkForTesting([](const QString& line) { lines().append(line); });
    }
    static QString text() { return lines().join(QLatin1Char('\n')); }
};
