#include "export/TlReleaseSaveState.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "frame/TlSaveProgress.h"
#include "fullres/TlFullResState.h"
#include "kelvra/KelvraImage.h"
#include "pellio/Pellio.h"
#include "save/TlSaveState.h"
#include "settings/plugins/TlPluginState.h"

namespace {

template <typename T>
void Delete(T*& object)
{
    delete object;
    object = nullptr;
}

template <typename T>
void Release(T*& object)
{
    if (object != nullptr)
        object->Release();
    object = nullptr;
}

void ReleaseChain(STlSaveState& save)
{
    ReleaseFullResChain();
    Delete(save.pluginFilter);
    Delete(save.pluginEntry);
}

// A phase that reports by itself may still have the sink switched off.
void EndProgressPhase()
{
    const TlSaveProgressState progress = GetSaveProgressState();
    if (progress.sink != nullptr)
        progress.sink->SetEnabled(true);
}

void MarkProgressFinished()
{
    const TlSaveProgressState progress = GetSaveProgressState();
    if (progress.sink != nullptr)
        progress.sink->Notify();
}

// The saver goes first: it must not write into a closed stream. Output of a
// save that did not finish is not kept when the stream closes.
void ReleaseWriter(STlSaveState& save)
{
    Release(save.saver);
    if (save.stream != nullptr)
        IKelvraError::Release(save.stream->Close());
    Release(save.stream);
    if (save.tags != nullptr)
        save.tags->Destroy();
    save.tags = nullptr;
}

void ReleaseImages(STlSaveState& save)
{
    Release(FullResState().destination);
    for (IKelvraImage*& image : save.workImages)
        Release(image);
    Release(save.rendition);
    save.workSelector = kTlNoWorkImage;
}

void ReleaseExportFilters(STlSaveState& save)
{
    Delete(save.colourFilter);
    Delete(save.scaleFilter);
    save.engines[0].Release();
}

void EmptyImageList(STlSaveState& save)
{
    for (KelvraSaveEntry& entry : save.imageList)
        entry = KelvraSaveEntry{};
    save.imageCount = 0;
    save.bitmap = KelvraSaveBitmap{};
}

} // namespace

void ReleaseSaveState(bool chainOnly)
{
    STlSaveState& save = SaveState();
    ReleaseChain(save);
    if (chainOnly)
        return;
    EndProgressPhase();
    // The image list points at the rendition filters and images: it goes
    // before them.
    EmptyImageList(save);
    ReleaseWriter(save);
    ReleaseExportFilters(save);
    ReleaseImages(save);
    MarkProgressFinished();
    save.runHandle = nullptr;
    save.pluginIndex = 0;
    save.step = kTlSaveStepFinished;
    save.prepared = false;
}
