#pragma once

#include "Services/Workspace/SwiftDataService.h"
#include "platform/Result.h"

#include <QFuture>
#include <QPromise>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

// The workspace store's own thread and its one connection. It opens the
// store first, then runs the jobs posted to it one at a time, in the order
// they were posted, so a job posted while the store opens waits for the open.
// A job's future is finished only once the job's transaction has committed
// (or failed). Destruction runs every job already posted, then closes.
class StoreThread {
public:
    // The open store, or why it could not be opened.
    using Store = Result<SwiftDataService*, QString>;

    explicit StoreThread(QString databasePath);
    ~StoreThread();
    StoreThread(const StoreThread&) = delete;
    StoreThread& operator=(const StoreThread&) = delete;

    template <typename Job>
    auto run(Job job) -> QFuture<std::invoke_result_t<Job&, const Store&>>
    {
        using Value = std::invoke_result_t<Job&, const Store&>;
        auto promise = std::make_shared<QPromise<Value>>();
        QFuture<Value> future = promise->future();
        promise->start();
        post([promise, job = std::move(job)](const Store& store) mutable {
            promise->addResult(job(store));
            promise->finish();
        });
        return future;
    }

private:
    void post(std::function<void(const Store&)> job);
    void serve(QString databasePath);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void(const Store&)>> m_jobs;
    bool m_stopping = false;
    std::thread m_thread;
};
