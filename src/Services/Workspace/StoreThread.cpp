#include "Services/Workspace/StoreThread.h"

StoreThread::StoreThread(QString databasePath)
    : m_thread([this, path = std::move(databasePath)]() mutable { serve(std::move(path)); })
{
}

StoreThread::~StoreThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void StoreThread::post(std::function<void(const Store&)> job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void StoreThread::serve(QString databasePath)
{
    // The connection is made, used and closed on this thread only.
    auto opened = SwiftDataService::open(databasePath);
    const Store store = opened ? Store(opened.value().get()) : Store::failure(opened.error());
    for (;;) {
        std::function<void(const Store&)> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                break; // stopping, with every job done
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job(store);
    }
}
