// The worker threads that make the tiles of process runs: one pool per
// process, shared by every run of every module.
#pragma once

#include <functional>

// How many threads work on one run, the caller's own included; 0 (the
// default) gives one per processor core, 1 makes every run on the caller's
// thread alone. For tests and benchmarks; it holds from the next row of
// tiles a run makes.
void KelvraSetWorkerThreads(long threads);
long KelvraGetWorkerThreads();

// Runs `work` on the caller's thread and at once on up to
// KelvraGetWorkerThreads() - 1 pool threads, and returns when every copy has
// returned. Each copy takes its items itself (from a shared counter) and
// returns when none are left; a copy may start after the others finished
// and must then find nothing to do. May be called from inside `work`.
void KelvraRunOnWorkers(const std::function<void()>& work);

// True while the calling thread runs work of KelvraRunOnWorkers (its own
// caller's share included): work done there is already spread over the
// pool, so it should not fan out again.
bool KelvraOnWorker();
