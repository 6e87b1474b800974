#include "ui/actionthread.h"

namespace pelmar {

ActionThread::ActionThread() : m_thread([this] { serve(); }) {}

ActionThread::~ActionThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::future<void> ActionThread::run(std::function<void()> job)
{
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    {
        const std::lock_guard lock(m_mutex);
        m_job = std::move(task);
        m_pending = true;
    }
    m_wake.notify_one();
    return done;
}

void ActionThread::serve()
{
    for (;;) {
        std::packaged_task<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_pending || m_stopping; });
            if (!m_pending)
                return;
            job = std::move(m_job);
            m_pending = false;
        }
        job();
    }
}

} // namespace pelmar
