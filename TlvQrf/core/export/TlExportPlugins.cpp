// Steps 2 and 3 of the export: each active image-editor plug-in of the
// settings runs over the image in turn, the outputs going alternately into
// the two work images.
#include "export/TlExport.h"
#include "export/TlExportSteps.h"
#include "export/TlExportSupport.h"
#include "export/TlReleaseSaveState.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "fullres/TlFullResState.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"
#include "settings/plugins/TlPluginListState.h"

#include <new>

namespace {

constexpr long kAtEntryNotMade = 1134;
constexpr long kAtFilterNotMade = 1157;
constexpr long kAtPluginAborted = 1246;

// All plug-ins together share 24 points of the progress.
constexpr int kPluginShare = 2400;

bool Runs(const CTlPluginState& entry)
{
    return !entry.IsEmpty() && entry.enabled != 0;
}

const CTlPluginListState* ActiveList(const CTlvParamSet& params)
{
    const CTlPluginListState* list = CTlvParamSet::Present(params.pluginsFlag, params.plugins);
    return list != nullptr && !list->IsDefault() ? list : nullptr;
}

int RunningEntries(const CTlvParamSet& params)
{
    int count = 0;
    if (const CTlPluginListState* list = ActiveList(params))
        for (const CTlPluginState& entry : list->entries)
            count += Runs(entry) ? 1 : 0;
    return count;
}

// The next entry that runs from the plug-in index on; null when none is left.
const CTlPluginState* NextEntry(const CTlvParamSet& params)
{
    const CTlPluginListState* list = ActiveList(params);
    if (list == nullptr)
        return nullptr;
    STlSaveState& save = SaveState();
    for (; std::size_t(save.pluginIndex) < list->entries.size(); ++save.pluginIndex) {
        const CTlPluginState& entry = list->entries[std::size_t(save.pluginIndex)];
        if (Runs(entry))
            return &entry;
    }
    return nullptr;
}

bool MakeWorkImages()
{
    for (IKelvraImage*& image : SaveState().workImages) {
        if (image != nullptr)
            continue;
        IKelvraError* error = ExportManager()->CreateImage(&image);
        if (error != nullptr || image == nullptr) {
            IKelvraError::Release(error);
            return false;
        }
    }
    return true;
}

// The first plug-in reads the chain's output (or the source) into the first
// work image; later ones go from one work image into the other.
void ChooseImages(const CTlvParamSet& params, IKelvraDataSource** source, IKelvraImage** target)
{
    STlSaveState& save = SaveState();
    if (save.workSelector == kTlFirstWorkImage) {
        *source = save.workImages[0];
        *target = save.workImages[1];
        save.workSelector = kTlSecondWorkImage;
        return;
    }
    if (save.workSelector == kTlSecondWorkImage)
        *source = save.workImages[1];
    else
        *source = FullResState().destination != nullptr ? FullResState().destination : params.image;
    *target = save.workImages[0];
    save.workSelector = kTlFirstWorkImage;
}

int MakePluginFilter(STlExportStep& step, const CTlPluginState& entry)
{
    STlSaveState& save = SaveState();
    save.pluginEntry = new (std::nothrow) CTlPluginState;
    if (save.pluginEntry == nullptr)
        return EndExportNoMemory(step, kAtEntryNotMade);
    *save.pluginEntry = entry;
    save.pluginFilter = new (std::nothrow) CPluginHostFilter(ExportManager());
    if (save.pluginFilter == nullptr)
        return EndExportNoMemory(step, kAtFilterNotMade);
    IKelvraError::Release(save.pluginFilter->SetScaleAndResolution(1.0, GeometryResolution(step.params), true));
    auto* host = dynamic_cast<ITlFilterPluginHost*>(save.pluginEntry->GetPlugin());
    IKelvraError::Release(save.pluginFilter->SetPlugin(host, true));
    return 0;
}

int BeginPlugin(STlExportStep& step, const CTlPluginState& entry)
{
    if (!MakeWorkImages())
        return EndExport(step, kTlExportNoObject);
    const int made = MakePluginFilter(step, entry);
    if (step.ended)
        return made;
    IKelvraDataSource* source = nullptr;
    IKelvraImage* target = nullptr;
    ChooseImages(step.params, &source, &target);
    HintFilterPhase(false);
    STlSaveState& save = SaveState();
    if (IKelvraError* error = save.pluginFilter->BeginProcess(&save.runHandle, &source, 1, target))
        return EndExport(step, kTlExportRunFailed, error);
    if (IKelvraError* error = save.pluginFilter->RunPlugin(CPluginHostFilter::kOwnSources))
        return EndExport(step, kTlExportRunFailed, error);
    ++save.pluginIndex;
    return GoTo(kTlExportRunPlugin);
}

void EndPluginRun()
{
    STlSaveState& save = SaveState();
    IKelvraError::Release(save.pluginFilter->EndProcess(save.runHandle));
    save.runHandle = nullptr;
}

} // namespace

int StepNextPlugin(STlExportStep& step)
{
    const CTlPluginState* entry = NextEntry(step.params);
    if (entry == nullptr)
        return GoTo(kTlExportBeginRendition);
    return BeginPlugin(step, *entry);
}

int StepRunPlugin(STlExportStep& step)
{
    STlSaveState& save = SaveState();
    long done = 0, total = 0;
    if (IKelvraError* error = save.pluginFilter->ExecuteProcess(save.runHandle, &done, &total)) {
        EndPluginRun();
        return EndExport(step, kTlExportRunFailed, error);
    }
    const int entries = RunningEntries(step.params) > 0 ? RunningEntries(step.params) : 1;
    const int base = ExportProgressBase();
    if (total != 0 && ReportExportProgress(base + done * kPluginShare / total / entries / 100)) {
        EndPluginRun();
        return EndExport(step, kTlExportAborted, kAtPluginAborted, "Aborted");
    }
    if (total != 0)
        return 0;
    EndPluginRun();
    HintFilterPhase(true);
    ReleaseSaveState(true);
    SetExportProgressBase(base + kPluginShare / entries / 100);
    return GoTo(kTlExportNextPlugin);
}
