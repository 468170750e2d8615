// The raw-image library as a host uses it: started with an imaging manager
// of the host's own, one saver that queues a save request and is polled
// until the worker is done, then closed again.
#pragma once

#include "DevelopOutput.h"

class CProgressLine;
class IKelvraError;
class IKelvraManager;

class CDevelopSession {
public:
    CDevelopSession() = default;
    ~CDevelopSession();
    CDevelopSession(const CDevelopSession&) = delete;
    CDevelopSession& operator=(const CDevelopSession&) = delete;

    // 0, or the result code of the failed start (0x1008: a working profile
    // is missing from the profiles folder).
    unsigned long Start();
    // Saves `input` with its stored settings (or the neutral ones) into
    // `output`; the progress goes to `progress`. The record's result, or
    // SaveImage's failure code when nothing was queued. A stop request
    // (Ctrl+C) aborts the save, which then reports cancellation. A failed
    // save's error chain goes to `*error` (null when it left none); the
    // caller releases it.
    unsigned long Develop(const char* input, const char* output, const DevelopOutput& format,
                          CProgressLine& progress, IKelvraError** error);

private:
    IKelvraManager* m_manager = nullptr;
    bool m_started = false;
};
