// The state of the running save. One save runs at a time, on the worker
// thread, so the state lives in globals and is not locked; CSaveContext
// parks it while the job queue holds a context.
#pragma once

#include "filtrix/KelvraFilterCMLEngine.h"
#include "pellio/KelvraSave.h"

#include <cstdint>
#include <string>
#include <vector>

class CPluginHostFilter;
class CTlPluginState;
class IKelvraDataSource;
class IKelvraFileStream;
class IKelvraFilter;
class IKelvraImage;
class IKelvraSave;
class IKelvraTagControl;

// The step of a save that is not running.
constexpr int kTlSaveStepFinished = 8;

// The colour-engine references a save holds.
constexpr int kTlSaveEngineSlots = 4;

// The image list a saver gets: two renditions and the source entry.
constexpr int kTlSaveImageListSlots = 3;

// Which work image the plug-in stage wrote last.
enum TlWorkImageSelector {
    kTlNoWorkImage = 0,
    kTlFirstWorkImage = 2,
    kTlSecondWorkImage = 3,
};

struct STlSaveState {
    // The output profile the save embeds and the file it is writing.
    std::string profilePath;
    std::string tempPath;

    // Where a direct-image save hands its image.
    IKelvraImage* directDestination = nullptr;

    int step = kTlSaveStepFinished;
    bool prepared = false;

    // The writer (not owned here: the save that made them releases them).
    IKelvraSave* saver = nullptr;
    IKelvraFileStream* stream = nullptr;
    IKelvraTagControl* tags = nullptr;
    std::vector<IKelvraDataSource*> sources;

    // The current run of a chain or filter.
    void* runHandle = nullptr;

    // The plug-in stage: the next entry of the settings' list, a copy of the
    // running entry, its filter and the two images the plug-ins write in
    // turn.
    int pluginIndex = 0;
    CTlPluginState* pluginEntry = nullptr;
    CPluginHostFilter* pluginFilter = nullptr;
    IKelvraImage* workImages[2] = {nullptr, nullptr};
    int workSelector = kTlNoWorkImage;

    // The 640-pixel rendition and the list handed to the saver.
    IKelvraImage* rendition = nullptr;
    KelvraSaveEntry imageList[kTlSaveImageListSlots] = {};
    int imageCount = 0;
    // The record the bitmap entry points to.
    KelvraSaveBitmap bitmap = {};

    // The source was switched to its first raw source for the save and is
    // switched back when it ends.
    bool sourceSwitched = false;

    // The filters the export built outside its chains (the full release
    // destroys them): the thumbnail scale and the colour stage of the main
    // image, whose engine is engines[0].
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
