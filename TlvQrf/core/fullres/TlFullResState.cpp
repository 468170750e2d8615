#include "fullres/TlFullResState.h"

#include "frame/TlSaveProgress.h"

#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"

STlFullResState& FullResState()
{
    static STlFullResState state;
    return state;
}

// The chain goes first: it must not point at filters that are gone.
void ReleaseFullResChain()
{
    STlFullResState& state = FullResState();
    if (state.watched != nullptr && state.watcher != nullptr)
        IKelvraError::Release(state.watched->RemoveWatcher(state.watcher));
    if (state.watched != nullptr)
        SetWatchedFilter(nullptr);
    state.watched = nullptr;
    state.watcher = nullptr;
    if (state.chain != nullptr) {
        state.chain->Release();
        state.chain = nullptr;
    }
    state.filters.clear();
    for (STlColourStage& stage : state.colourStages) {
        stage.engine = nullptr;
        stage.filter = nullptr;
    }
    state.colourStageCount = 0;
    state.targetProfile.clear();
    state.hasTarget = false;
    state.redEyeShare = state.dustShare = state.revelationShare = 0;
}

void ReleaseFullResState()
{
    ReleaseFullResChain();
    STlFullResState& state = FullResState();
    if (state.destination != nullptr) {
        state.destination->Release();
        state.destination = nullptr;
    }
}
