#include "fullres/TlFullResColour.h"

#include "fullres/TlFullResState.h"

#include "camera/TlCameraSourceProfile.h"
#include "kelvra/KelvraFilterChain.h"

#include <new>

namespace {

constexpr int kCannotAllocate = 3;
constexpr int kCannotAppend = 12;
constexpr int kNoEngine = 20;

bool RequestStageEngine(const STlFullResState& state, const CTlvParamSet& params, const char* target,
                        CCMLEngMgr::CReference& engine)
{
    if (state.hasTarget)
        return RequestEngine(engine, state.targetProfile.c_str(), target);
    return RequestImageEngineOf(engine, params, target);
}

bool SetBits(CKelvraFilterCML* filter, long inputBits, long outputBits)
{
    IKelvraError* error = filter->SetBitsPerComponent(false, inputBits, false);
    if (error == nullptr)
        error = filter->SetBitsPerComponent(true, outputBits, false);
    IKelvraError::Release(error);
    return error == nullptr;
}

} // namespace

int AppendColourStage(IKelvraManager* manager, const CTlvParamSet& params, const STlColourStageRequest& request,
                      long* bitsSoFar, bool* appended, CKelvraFilterCML** made)
{
    *appended = false;
    STlFullResState& state = FullResState();
    // The table has four slots; a fifth stage would write past it.
    if (state.colourStageCount >= kTlColourStageSlots)
        return kCannotAllocate;
    std::unique_ptr<CKelvraFilterCML> owned(new (std::nothrow) CKelvraFilterCML(manager));
    if (!owned)
        return kCannotAllocate;
    CKelvraFilterCML* filter = owned.get();
    state.filters.push_back(std::move(owned));
    STlColourStage& stage = state.colourStages[state.colourStageCount++];
    stage.filter = filter;
    *made = filter;
    IKelvraError::Release(filter->SetCacheUsage(0));
    if (!RequestStageEngine(state, params, request.target, stage.engine))
        return kNoEngine;
    if (IKelvraError* error = filter->SetCMLEngine(stage.engine.Get(), true)) {
        IKelvraError::Release(error);
        return kNoEngine;
    }
    if (!IsColourFilterActive(filter))
        return 0;
    if (IKelvraError* error = state.chain->InsertFilter(filter, -1)) {
        IKelvraError::Release(error);
        return kCannotAppend;
    }
    *appended = true;
    state.targetProfile = request.target;
    state.hasTarget = true;
    if (!SetBits(filter, *bitsSoFar, request.outputBits))
        return kNoEngine;
    *bitsSoFar = request.outputBits;
    return 0;
}
