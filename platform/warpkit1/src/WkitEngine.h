// One Warpkit1 engine: the state of its current pass and the buffers it
// took through the caller's memory callbacks.
#pragma once

#include "warpkit1/Warpkit1.h"

#include <cstddef>
#include <cstdint>

struct WkitBuffer {
    void* data = nullptr;
    std::size_t size = 0;

    template <typename T>
    T* As() const
    {
        return static_cast<T*>(data);
    }
};

enum class WkitState { Idle, Initialised, Running, Complete };

struct WKITEngine {
    int kind = 0;
    int serial = 0;
    WkitState state = WkitState::Idle;
    WKITParameters params{};
    WKITImageRecord input{};
    WKITImageRecord statistics{};
    WKITImageRecord output{};
    WKITImageRecord work{};
    bool hasStatistics = false;
    WKITOutputDescription description{};
    std::int32_t unitsDone = 0;  // block rows (statistics) or band rows (rendering)
    std::int32_t unitsTotal = 0;
    WkitBuffer statisticsPlane;  // rendering: the statistics image, read once per band
    WkitBuffer gains;            // rendering: 16.16 gain per local-mean step
};

// Takes `size` bytes through the engine's allocate callback; a failing
// callback leaves its error in the message and gives kWKITCallbackFailed.
int WkitTake(WKITEngine& engine, WkitBuffer& buffer, std::size_t size, WKITMessage* message);
// Gives a buffer back through the release callback (nothing for none).
void WkitGive(WKITEngine& engine, WkitBuffer& buffer);
// Hands a callback's error to the caller.
int WkitCallbackFailed(WKITMessage* message, WKITCallbackResult error);
// A refusal with a text.
int WkitRefuse(WKITMessage* message, const char* text);

int WkitStatisticsInit(WKITEngine& engine, WKITMessage* message);
int WkitStatisticsBegin(WKITEngine& engine, WKITMessage* message);
int WkitStatisticsProcess(WKITEngine& engine, int slice, WKITMessage* message);

int WkitRenderInit(WKITEngine& engine, WKITMessage* message);
int WkitRenderBegin(WKITEngine& engine, WKITMessage* message);
int WkitRenderProcess(WKITEngine& engine, int slice, WKITMessage* message);

// Gives back every buffer of the pass.
void WkitReleasePass(WKITEngine& engine);
