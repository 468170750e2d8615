// The library's one job queue. The save code registers the function that
// makes its concrete queue; the queue is made on first use and destroyed
// when the library is unloaded, after which there is none.
#pragma once

class CJobQueue;

using TlJobQueueFactory = CJobQueue* (*)();

// Returns the factory held before.
TlJobQueueFactory SetJobQueueFactory(TlJobQueueFactory factory);

// The queue, made on the first call; null without a factory, when the
// factory fails, and for good once the queue has been destroyed.
CJobQueue* GetJobQueue();

// Destroys the queue (the library's unload does this); GetJobQueue answers
// null from then on.
void DestroyJobQueue();
