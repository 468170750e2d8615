// What a process run of the Revelation filter keeps for itself: its own
// stale flags, engine and output, so that a run and the preview never share
// engine state. The first tile of the run renders the whole output; the
// lock keeps the run's other tile threads waiting for it.
#pragma once

#include "filters/revelation/TlWarpkitEngine.h"
#include "kelvra/KelvraFilter.h"

#include <mutex>

class CRevelationRun : public CKelvraProcessInfo {
public:
    ~CRevelationRun() override
    {
        delete engine;
        if (output)
            output->Release();
    }

    bool statisticsStale = true;
    bool renderStale = true;
    CWarpkitEngine* engine = nullptr;
    IKelvraImage* output = nullptr;
    std::mutex lock;
};
