#pragma once

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace pelmar {

// The one thread on which the time-clock window's database work runs, kept
// for the window's life: a thread started for every action would cost more
// than most actions take. Jobs run one at a time, in order.
class ActionThread
{
public:
    ActionThread();
    ~ActionThread(); // finishes the job in hand, then joins
    ActionThread(const ActionThread&) = delete;
    ActionThread& operator=(const ActionThread&) = delete;

    // Runs job on the thread; the future is ready when it has run, and
    // holds what it threw.
    std::future<void> run(std::function<void()> job);

private:
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::packaged_task<void()> m_job;
    bool m_pending = false;
    bool m_stopping = false;
    std::thread m_thread; // last: started once the rest is ready
};

} // namespace pelmar
