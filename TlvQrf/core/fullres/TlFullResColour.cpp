#include "fullres/TlFullResColour.h"

#include "fullres/TlFullResState.h"

#include "camera/TlCameraSourceProfile.h"
#include "kelvra/KelvraFilterChain.h"

#include <new>

namespace {

constexpr int kCannotAllocate = 3;
constexpr int kCannotAppend = 12;
constexpr int kNoEngine = 20;

// "Missing CMS Engine", with the engine manager's reason inside.
IKelvraError* RequestStageEngine(const STlFullResState& state, const CTlvParamSet& params, const char* target,
                                 CCMLEngMgr::CReference& engine)
{
    IKelvraError* why = nullptr;
    const bool found = state.hasTarget ? RequestEngine(engine, state.targetProfile.c_str(), target, &why)
                                       : RequestImageEngineOf(engine, params, target, nullptr, &why);
    if (found) {
        IKelvraError::Release(why);
        return nullptr;
    }
    return IKelvraError::AddWorker(IKelvraError::Add(nullptr, 0, __LINE__, "Missing CMS Engine"), 0, __LINE__, why);
}

IKelvraError* SetBits(CKelvraFilterCML* filter, long inputBits, long outputBits)
{
    IKelvraError* error = filter->SetBitsPerComponent(false, inputBits, false);
    if (error == nullptr)
        error = filter->SetBitsPerComponent(true, outputBits, false);
    return error;
}

} // namespace

namespace {

int MakeColourStage(IKelvraManager* manager, const CTlvParamSet& params, const STlColourStageRequest& request,
                    long* bitsSoFar, bool* appended, CKelvraFilterCML** made, IKelvraError** why)
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
    if ((*why = RequestStageEngine(state, params, request.target, stage.engine)) != nullptr)
        return kNoEngine;
    if ((*why = filter->SetCMLEngine(stage.engine.Get(), true)) != nullptr)
        return kNoEngine;
    if (!IsColourFilterActive(filter))
        return 0;
    if ((*why = state.chain->InsertFilter(filter, -1)) != nullptr)
        return kCannotAppend;
    *appended = true;
    state.targetProfile = request.target;
    state.hasTarget = true;
    if ((*why = SetBits(filter, *bitsSoFar, request.outputBits)) != nullptr)
        return kNoEngine;
    *bitsSoFar = request.outputBits;
    return 0;
}

} // namespace

int AppendColourStage(IKelvraManager* manager, const CTlvParamSet& params, const STlColourStageRequest& request,
                      long* bitsSoFar, bool* appended, CKelvraFilterCML** made, IKelvraError** why)
{
    IKelvraError* error = nullptr;
    const int code = MakeColourStage(manager, params, request, bitsSoFar, appended, made, &error);
    if (why != nullptr)
        *why = error;
    else
        IKelvraError::Release(error);
    return code;
}
