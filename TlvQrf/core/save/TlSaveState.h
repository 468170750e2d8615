// The state of the running save. One save runs at a time, on the worker
// thread, so the state lives in globals and is not locked; CSaveContext
// parks it while the job queue holds a context.
#pragma once

#include "filtrix/KelvraFilterCMLEngine.h"

#include <cstdint>
#include <string>
#include <vector>

class IKelvraDataDestination;
class IKelvraDataSource;
class IKelvraFileStream;
class IKelvraFilter;
class IKelvraSave;
class IKelvraTagControl;

// Steps of a running save: prepared, ..., finished.
constexpr int kTlSaveStepPrepared = 0;
constexpr int kTlSaveStepFinished = 8;

// The colour-engine references a save holds.
constexpr int kTlSaveEngineSlots = 4;

struct STlSaveState {
    // The output profile the save embeds and the file it is writing.
    std::string profilePath;
    std::string tempPath;

    // Where a direct-image save hands its image.
    IKelvraDataDestination* directDestination = nullptr;

    int step = kTlSaveStepFinished;
    bool prepared = false;

    // The writer (not owned here: the save that made them releases them).
    IKelvraSave* saver = nullptr;
    IKelvraFileStream* stream = nullptr;
    IKelvraTagControl* tags = nullptr;
    std::vector<IKelvraDataSource*> sources;

    // The filters the export built.
    IKelvraFilter* scaleFilter = nullptr;
    IKelvraFilter* sharpeningFilter = nullptr;
    IKelvraFilter* colourFilter = nullptr;
    CKelvraFilterCMLEngine::CReference engines[kTlSaveEngineSlots];
    std::vector<IKelvraFilter*> sharpeningChain;

    std::uint32_t rawSaveOption = 0;
    std::uint32_t formatOption = 0;
};

// The global save state.
STlSaveState& SaveState();
