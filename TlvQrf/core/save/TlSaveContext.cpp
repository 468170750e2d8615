#include "save/TlSaveContext.h"

#include "lib/TlLibraryState.h"
#include "watcher/TlFileSavingUtilities.h"

#include <utility>

namespace {

// Moves a pointer out of `from`, leaving it empty.
template <typename T>
void MoveOut(T& to, T& from)
{
    to = std::move(from);
    from = T();
}

void MoveEngines(CKelvraFilterCMLEngine::CReference (&to)[kTlSaveEngineSlots],
                 CKelvraFilterCMLEngine::CReference (&from)[kTlSaveEngineSlots])
{
    for (int slot = 0; slot < kTlSaveEngineSlots; ++slot) {
        to[slot] = from[slot];
        from[slot].Release();
    }
}

template <typename T, std::size_t N>
void MoveOut(T (&to)[N], T (&from)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        MoveOut(to[i], from[i]);
}

// The objects a save holds, moved from one state to the other, which is
// left empty.
void MoveHeldObjects(STlSaveState& to, STlSaveState& from)
{
    MoveOut(to.saver, from.saver);
    MoveOut(to.stream, from.stream);
    MoveOut(to.tags, from.tags);
    MoveOut(to.sources, from.sources);
    MoveOut(to.runHandle, from.runHandle);
    MoveOut(to.pluginIndex, from.pluginIndex);
    MoveOut(to.pluginEntry, from.pluginEntry);
    MoveOut(to.pluginFilter, from.pluginFilter);
    MoveOut(to.workImages, from.workImages);
    MoveOut(to.workSelector, from.workSelector);
    MoveOut(to.rendition, from.rendition);
    MoveOut(to.imageList, from.imageList);
    MoveOut(to.imageCount, from.imageCount);
    MoveOut(to.bitmap, from.bitmap);
    MoveOut(to.sourceSwitched, from.sourceSwitched);
    MoveOut(to.scaleFilter, from.scaleFilter);
    MoveOut(to.sharpeningFilter, from.sharpeningFilter);
    MoveOut(to.colourFilter, from.colourFilter);
    MoveEngines(to.engines, from.engines);
    MoveOut(to.sharpeningChain, from.sharpeningChain);
    MoveOut(to.prepared, from.prepared);
    // Where the parked save stands and what it is writing: a save resumed
    // without them would take "finished" for done and put its unfinished
    // file in the target's place.
    MoveOut(to.step, from.step);
    MoveOut(to.tempPath, from.tempPath);
    MoveOut(to.profilePath, from.profilePath);
}

} // namespace

CSaveContext::CSaveContext(CTlFileSavingUtilities* watcher)
    : m_watcher(watcher != nullptr ? watcher : GetCurrentFileWatcher())
{
    Park();
}

CSaveContext::~CSaveContext()
{
    if (m_watcher != nullptr)
        Restore();
    for (auto& engine : m_state.engines)
        engine.Release();
}

void CSaveContext::Park()
{
    STlSaveState& global = SaveState();
    m_softwareTag = GetSoftwareTag();
    const TlSaveProgressState progress = GetSaveProgressState();
    m_progressSink = progress.sink;
    m_progressBase = progress.base;
    m_state.directDestination = global.directDestination;
    m_state.rawSaveOption = global.rawSaveOption;
    m_state.formatOption = global.formatOption;

    MoveHeldObjects(m_state, global);
    global.step = kTlSaveStepFinished;
}

void CSaveContext::Restore()
{
    ExchangeCurrentFileWatcher(m_watcher);
    STlSaveState& global = SaveState();
    ExchangeSoftwareTag(m_softwareTag);
    TlSaveProgressState progress = GetSaveProgressState();
    progress.sink = m_progressSink;
    progress.base = m_progressBase;
    ExchangeSaveProgressState(progress);
    global.directDestination = m_state.directDestination;
    global.rawSaveOption = m_state.rawSaveOption;
    global.formatOption = m_state.formatOption;

    MoveHeldObjects(global, m_state);
}
