// What a full-resolution build leaves for the save that runs it: the chain,
// the image it writes into, every stage filter it made and the colour
// stages with their engines. One save runs at a time on the worker thread,
// so the state is a global and takes no lock.
#pragma once

#include "colour/TlColourEngineManager.h"
#include "filtrix/KelvraFilterBase.h"
#include "filtrix/KelvraFilterCML.h"

#include <memory>
#include <string>
#include <vector>

class IKelvraFilterChain;
class IKelvraImage;

// At most this many colour conversions stand in one chain.
constexpr int kTlColourStageSlots = 4;

struct STlColourStage {
    CKelvraFilterCML* filter = nullptr; // owned through the stage list
    CCMLEngMgr::CReference engine;
};

struct STlFullResState {
    IKelvraFilterChain* chain = nullptr;
    IKelvraImage* destination = nullptr;

    // Every filter the build made, in the order it made them; a filter that
    // is not in the chain (a colour stage without a usable table) stays here
    // until the release.
    std::vector<std::unique_ptr<CKelvraFilterBase>> filters;

    STlColourStage colourStages[kTlColourStageSlots];
    int colourStageCount = 0;
    // The profile the last appended colour stage converts to.
    std::string targetProfile;
    bool hasTarget = false;

    // The filter that reports to the save's filter watcher, and that watcher.
    CKelvraFilterBase* watched = nullptr;
    CKelvraFilterWatcher* watcher = nullptr;

    // Shares of the save's progress, whole percent points.
    int redEyeShare = 0;
    int dustShare = 0;
    int revelationShare = 0;

    // The export's channel layout: 0 8-bit colour, 1 16-bit colour, 3 8-bit
    // grey, 4 16-bit grey.
    int channelLayout = 0;
};

// The global state.
STlFullResState& FullResState();
// Releases the chain, the filters and the engines; the destination image,
// which holds what a run of the chain wrote, stays. The channel layout
// stays: the export prepares it before the build.
void ReleaseFullResChain();
// The same, and the destination image.
void ReleaseFullResState();
