// What tests may ask of Warpkit1 beyond its calls: make a chosen call fail
// with a chosen result, make the engine's allocate callback fail, and read
// the order in which passes started and ended across the process.
#pragma once

#include "warpkit1/Warpkit1.h"

extern "C" {

enum WKITCall : int {
    kWKITCallLoad,
    kWKITCallNew, // fails by returning null
    kWKITCallInit,
    kWKITCallSetStatisticsImageInfo,
    kWKITCallBegin,
    kWKITCallProcess,
    kWKITCallEnd,
    kWKITCallAbort,
    kWKITCallCount,
};

// The (`skip` + 1)-th call of `call` from now returns `result` without
// doing its work; with kWKITMessage the message's text becomes `text`.
// One fault per call; it fires once.
void WKITTestFailCall(WKITCall call, int skip, int result, const char* text);
// The (`skip` + 1)-th buffer the engine asks of its allocate callback from
// now is one no memory can hold, so that the callback fails.
void WKITTestFailAllocation(int skip);
// Drops every fault not yet fired.
void WKITTestClearFaults();

// A pass started (WKITInit succeeded) or ended (WKITEnd, WKITAbort).
struct WKITPassEvent {
    int engine; // the engine's serial number, from 1 per process
    int pass;   // kWKITStatisticsPass or kWKITRenderPass
    int started; // 1 started, 0 ended
};
// Copies up to `capacity` events, oldest first, and forgets all of them;
// returns how many were copied.
int WKITTestTakePassLog(WKITPassEvent* events, int capacity);
// The serial number of `handle` (0 for null).
int WKITTestEngineSerial(WKITHandle handle);

} // extern "C"
