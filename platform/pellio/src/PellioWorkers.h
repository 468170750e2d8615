// Worker threads for the independent tasks of one save (TIFF strips, JPEG
// bands): at most the machine's cores, started with the object and joined
// when it goes, so that no thread outlives the save that needed it.
#pragma once

#include "kelvra/KelvraError.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

class CPellioWorkers {
public:
    // Enough threads for `tasks` tasks, at most the machine's cores.
    explicit CPellioWorkers(std::size_t tasks);
    // Runs what is still queued, then joins the threads.
    ~CPellioWorkers();
    CPellioWorkers(const CPellioWorkers&) = delete;
    CPellioWorkers& operator=(const CPellioWorkers&) = delete;

    std::size_t Threads() const { return m_threads.size(); }
    // Queues `job`; the future gives its result (or rethrows what it threw).
    std::future<IKelvraError*> Post(std::function<IKelvraError*()> job);

private:
    void Work();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<IKelvraError*()>> m_queue;
    bool m_closing = false;
    std::vector<std::thread> m_threads;
};

// How many tasks of `taskBytes` each a save keeps in flight (pulled and
// waiting for or under coding): enough to keep `threads` workers busy,
// within a budget that keeps the save's peak memory near a serial save's
// (each task in flight holds its rows), and at least two.
std::size_t PellioTasksInFlight(std::size_t taskBytes, std::size_t threads);

// The result of a posted job that nobody will report: waits for it and
// frees its error, swallowing what it threw.
void PellioDropResult(std::future<IKelvraError*>& result) noexcept;
