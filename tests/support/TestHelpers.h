#pragma once

// Small helpers shared by the test programs. Header-only: the programs link
// the application library that provides Log.

#include "Services/Log.h"

#include <QCoroTask>
#include <QStringList>

#include <optional>

// Runs a task to its end on a nested event loop and returns its result, also
// for results that cannot be default-constructed.
template <typename T>
T awaitTask(QCoro::Task<T> task)
{
    std::optional<T> result;
    auto run = [](QCoro::Task<T> inner, std::optional<T>* out) -> QCoro::Task<> {
        out->emplace(co_await std::move(inner));
    };
    QCoro::waitFor(run(std::move(task), &result));
    return std::move(*result);
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
