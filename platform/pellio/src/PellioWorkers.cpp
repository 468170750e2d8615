#include "PellioWorkers.h"

#include <algorithm>

namespace {

// Bytes of pulled rows in flight at most: three 64-row strips of a 16-bit
// RGB picture 6000 wide. Measured on the develop command, each strip in
// flight adds its rows to the peak and little speed once the development
// itself, not the coding, sets the pace.
constexpr std::size_t kRowsInFlight = 8u << 20;

} // namespace

CPellioWorkers::CPellioWorkers(std::size_t tasks)
{
    const std::size_t cores = std::max<std::size_t>(1, std::thread::hardware_concurrency());
    const std::size_t count = std::max<std::size_t>(1, std::min(cores, tasks));
    m_threads.reserve(count);
    try {
        for (std::size_t i = 0; i < count; ++i)
            m_threads.emplace_back([this] { Work(); });
    } catch (...) {
        if (m_threads.empty())
            throw;
        // Fewer threads than asked for still do the work.
    }
}

CPellioWorkers::~CPellioWorkers()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

std::future<IKelvraError*> CPellioWorkers::Post(std::function<IKelvraError*()> job)
{
    std::packaged_task<IKelvraError*()> task(std::move(job));
    std::future<IKelvraError*> result = task.get_future();
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_queue.push_back(std::move(task));
    }
    m_wake.notify_one();
    return result;
}

void CPellioWorkers::Work()
{
    for (;;) {
        std::packaged_task<IKelvraError*()> task;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_wake.wait(hold, [this] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task(); // what the job throws goes into its future
    }
}

std::size_t PellioTasksInFlight(std::size_t taskBytes, std::size_t threads)
{
    const std::size_t budget = taskBytes ? kRowsInFlight / taskBytes : threads + 1;
    return std::max<std::size_t>(2, std::min(threads + 1, budget));
}

void PellioDropResult(std::future<IKelvraError*>& result) noexcept
{
    if (!result.valid())
        return;
    try {
        IKelvraError::Release(result.get());
    } catch (...) {
    }
}
