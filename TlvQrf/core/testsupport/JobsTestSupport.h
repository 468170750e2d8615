// Fakes for the job queue's tests: a queue that records its hooks, and jobs
// that block on a latch the test opens. Nothing here sleeps: every wait is
// for a state that another thread reaches.
#pragma once

#include "jobs/TlJobQueue.h"
#include "jobs/TlJobWorker.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace jobs_test {

// A value that other threads change; the test waits for the state it wants.
class Observed {
public:
    template <class Change>
    void Update(Change change)
    {
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            change();
        }
        m_changed.notify_all();
    }

    template <class Predicate>
    void WaitFor(Predicate predicate)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait(guard, predicate);
    }

    template <class Reader>
    auto Read(Reader read) -> decltype(read())
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        return read();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// A manual-reset event the test opens.
class Latch {
public:
    Latch() : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Latch() { CloseHandle(m_event); }
    Latch(const Latch&) = delete;
    Latch& operator=(const Latch&) = delete;
    void Open() { SetEvent(m_event); }
    void Wait() { WaitForSingleObject(m_event, INFINITE); }

private:
    HANDLE m_event;
};

// Memory for one object, which faults at every touch once it is fenced: a
// thread that still touches the object after it was destroyed fails at once
// instead of reading freed memory. The pages stay reserved until the block
// goes, so that no later object takes them.
class FencedMemory {
public:
    explicit FencedMemory(size_t size)
        : m_size(size), m_base(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~FencedMemory()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    FencedMemory(const FencedMemory&) = delete;
    FencedMemory& operator=(const FencedMemory&) = delete;

    void* Get() const { return m_base; }
    void Fence()
    {
        DWORD previous = 0;
        VirtualProtect(m_base, m_size, PAGE_NOACCESS, &previous);
    }

private:
    size_t m_size;
    void* m_base;
};

// While it lives, a fault on any thread ends the process at once with a
// message, rather than waiting for a debugger to attach.
class FaultsEndTheProcess {
public:
    FaultsEndTheProcess() : m_previous(SetUnhandledExceptionFilter(&Report)) {}
    ~FaultsEndTheProcess() { SetUnhandledExceptionFilter(m_previous); }
    FaultsEndTheProcess(const FaultsEndTheProcess&) = delete;
    FaultsEndTheProcess& operator=(const FaultsEndTheProcess&) = delete;

private:
    static LONG WINAPI Report(EXCEPTION_POINTERS* info)
    {
        std::fprintf(stderr, "fault 0x%lx at %p: a thread touched memory it may not touch\n",
                     info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
        return EXCEPTION_EXECUTE_HANDLER;
    }

    LPTOP_LEVEL_EXCEPTION_FILTER m_previous;
};

struct RunRecord {
    bool stopped;
    int succeeded;
    int failed;
};

// What the queue and its jobs did, in order.
struct Journal {
    Observed observed;
    std::vector<std::string> started;              // jobs in the order they ran
    std::vector<std::pair<std::string, long>> done; // OnJobDone, in order
    std::vector<RunRecord> runs;                    // OnRunFinished
    std::vector<std::pair<std::string, int>> added; // OnJobAdded
    std::vector<std::string> released;              // Release, in order
    int pauserLooks = 0;                            // a pauser looked at the worker's state
    int liveContexts = 0;                           // save contexts made and not yet deleted
    int enabledLooks = 0;                           // someone asked whether the monitor is enabled

    void Clear()
    {
        observed.Update([&] {
            started.clear();
            done.clear();
            runs.clear();
            added.clear();
            released.clear();
            pauserLooks = 0;
            enabledLooks = 0;
        });
    }

    std::vector<std::string> Started() { return observed.Read([this] { return started; }); }
    std::vector<std::pair<std::string, long>> Done() { return observed.Read([this] { return done; }); }
    std::vector<RunRecord> Runs() { return observed.Read([this] { return runs; }); }
    void WaitForRuns(size_t count) { observed.WaitFor([&] { return runs.size() >= count; }); }
    void WaitForDone(size_t count) { observed.WaitFor([&] { return done.size() >= count; }); }
    void WaitForPauserLooks(int count) { observed.WaitFor([&] { return pauserLooks >= count; }); }
    void WaitForEnabledLooks(int count) { observed.WaitFor([&] { return enabledLooks >= count; }); }
};

// A job that reports itself started, blocks until its latch opens, then
// makes its progress reports and answers its result (4 when aborted).
class LatchedJob : public CJob {
public:
    LatchedJob(Journal& journal, std::string target, int priority = 1, long result = 0, int reports = 0)
        : m_journal(journal), m_target(std::move(target)), m_result(result), m_reports(reports)
    {
        SetPriority(priority);
    }

    void Release(bool) override
    {
        m_journal.observed.Update([&] { m_journal.released.push_back(m_target); });
    }
    int GetKind() override { return m_kind; }
    const char* GetSourcePath() override { return ""; }
    void SetSourcePath(const char*) override {}
    const char* GetTargetPath() override { return m_target.c_str(); }
    void SetTargetPath(const char* path) override { m_target = path; }

    long Run() override
    {
        GetQueue()->BeginSaveStep(this);
        m_journal.observed.Update([&] { m_journal.started.push_back(m_target); });
        m_started.Open();
        m_gate.Wait();
        for (int i = 0; i < m_reports; ++i) {
            m_progress.Update([&] { ++m_reached; });
            if (GetQueue()->Progress(i + 1, m_reports))
                return 4;
            m_progress.Update([&] { ++m_passed; });
        }
        return m_result;
    }

    void Open() { m_gate.Open(); }
    void WaitStarted() { m_started.Wait(); }
    int Reached() { return m_progress.Read([&] { return m_reached; }); }
    int Passed() { return m_progress.Read([&] { return m_passed; }); }
    void SetKind(int kind) { m_kind = kind; }

private:
    Journal& m_journal;
    std::string m_target;
    long m_result;
    int m_reports;
    int m_kind = kKindSingle;
    Latch m_started;
    Latch m_gate;
    Observed m_progress;
    int m_reached = 0;
    int m_passed = 0;
};

// A job whose latch is open from the start.
class OpenJob : public LatchedJob {
public:
    OpenJob(Journal& journal, std::string target, int priority = 1, long result = 0)
        : LatchedJob(journal, std::move(target), priority, result)
    {
        Open();
    }
};

class CountedContext : public ITlSaveContext {
public:
    explicit CountedContext(Observed& observed, int& live) : m_observed(observed), m_live(live)
    {
        m_observed.Update([&] { ++m_live; });
    }
    ~CountedContext() override
    {
        m_observed.Update([&] { --m_live; });
    }

private:
    Observed& m_observed;
    int& m_live;
};

// A worker whose thread cannot be created.
class ThreadlessWorker : public CJobWorker {
public:
    using CJobWorker::CJobWorker;
    bool Start() override { return false; }
};

// A worker whose thread the test can wait for. The queue starts it under its
// lock, which the thread needs before it can end, so the object still lives
// when Start returns.
class TrackedWorker : public CJobWorker {
public:
    TrackedWorker(CJobQueue* queue, std::vector<HANDLE>& threads) : CJobWorker(queue), m_threads(threads) {}
    bool Start() override
    {
        if (!CJobWorker::Start())
            return false;
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetThreadHandle(), GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
        m_threads.push_back(copy);
        return true;
    }

private:
    std::vector<HANDLE>& m_threads;
};

class RecordingQueue : public CJobQueue {
public:
    enum WorkerKind { kRealWorker, kNoMemory, kNoThread };

    explicit RecordingQueue(Journal& journal) : m_journal(journal) {}
    // A worker touches its queue until its thread ends.
    ~RecordingQueue() override
    {
        for (HANDLE thread : m_threads) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }

    void OnLoadStarted(CJob*) override { ++loadsStarted; }
    void OnSaveStarted(CJob*) override { ++savesStarted; }
    void OnLoadFinished(long, CJob*) override {}
    void OnJobDone(long result, CJob* job) override
    {
        m_journal.observed.Update([&] { m_journal.done.emplace_back(job->GetTargetPath(), result); });
    }
    void OnRunFinished(bool stopped, int succeeded, int failed) override
    {
        m_journal.observed.Update([&] { m_journal.runs.push_back({stopped, succeeded, failed}); });
    }
    void FreeObject(void* object) override { freed.push_back(object); }
    void OnJobAdded(CJob* job, int position) override
    {
        m_journal.observed.Update([&] { m_journal.added.emplace_back(job->GetTargetPath(), position); });
    }
    ITlSaveContext* NewSaveContext() override
    {
        return new CountedContext(m_journal.observed, m_journal.liveContexts);
    }

    bool IsEnabled() const override
    {
        m_journal.observed.Update([&] { ++m_journal.enabledLooks; });
        return CJobQueue::IsEnabled();
    }

    int LiveContexts() { return m_journal.observed.Read([&] { return m_journal.liveContexts; }); }

    WorkerKind workerKind = kRealWorker;
    std::atomic<int> loadsStarted{0};
    std::atomic<int> savesStarted{0};
    std::vector<void*> freed;
    std::vector<std::pair<long, long>> progress;

protected:
    void OnReset(long, long) override {}
    void OnNotify() override {}
    bool OnProgress(long step, long total) override
    {
        progress.emplace_back(step, total);
        return IsAborted();
    }
    bool IsPauseSettled() const override
    {
        m_journal.observed.Update([&] { ++m_journal.pauserLooks; });
        return CJobQueue::IsPauseSettled();
    }
    CJobWorker* NewWorker() override
    {
        switch (workerKind) {
        case kNoMemory: return nullptr;
        case kNoThread: return new ThreadlessWorker(this);
        default: return new TrackedWorker(this, m_threads);
        }
    }

private:
    Journal& m_journal;
    std::vector<HANDLE> m_threads; // written under the queue's lock by Start
};

// The end of a run as a host meets it: the worker stops in its run-finished
// hook, where the queue already reads as idle, until the host has begun to
// destroy the queue.
struct RunEndHandshake {
    Latch ended;
    Latch destroying;
};

// A queue of kind Base that holds its worker at the end of each run.
template <class Base>
class HeldAtRunEnd : public Base {
public:
    template <class... Args>
    explicit HeldAtRunEnd(RunEndHandshake& handshake, Args&&... args)
        : Base(std::forward<Args>(args)...), m_handshake(handshake)
    {
    }
    ~HeldAtRunEnd() override { m_handshake.destroying.Open(); }

    void OnRunFinished(bool stopped, int succeeded, int failed) override
    {
        Base::OnRunFinished(stopped, succeeded, failed);
        RunEndHandshake& handshake = m_handshake;
        handshake.ended.Open();
        handshake.destroying.Wait();
    }

private:
    RunEndHandshake& m_handshake;
};

// Runs one job through a queue that `make` builds (given the memory and the
// handshake), and as soon as the run has ended destroys the queue and
// fences its memory; `rounds` times. A worker that still touches its queue
// after that faults.
template <class Make>
void DestroyEachQueueAsItsRunEnds(int rounds, size_t size, Make make)
{
    const FaultsEndTheProcess faults;
    Journal jobs;
    std::vector<std::unique_ptr<FencedMemory>> blocks;
    std::vector<std::unique_ptr<RunEndHandshake>> handshakes;
    for (int round = 0; round < rounds; ++round) {
        blocks.push_back(std::make_unique<FencedMemory>(size));
        handshakes.push_back(std::make_unique<RunEndHandshake>());
        CJobQueue* queue = make(blocks.back()->Get(), *handshakes.back());
        OpenJob job(jobs, "job");
        ASSERT_EQ(0, queue->AddJob(&job));
        ASSERT_EQ(0, queue->Start());
        handshakes.back()->ended.Wait();
        EXPECT_FALSE(queue->IsBusy());
        queue->~CJobQueue();
        blocks.back()->Fence();
    }
}

} // namespace jobs_test
