// The process-wide faults tests plant and the log of pass starts and ends.
#pragma once

#include "warpkit1/Warpkit1Testing.h"

// True when a planted fault fires for this call: `result` is what the call
// returns (and the message's text is set for kWKITMessage).
bool WkitFaultFires(WKITCall call, int* result, WKITMessage* message);
// True when the allocation being made is to fail.
bool WkitAllocationFails();
void WkitLogPass(int engine, int pass, bool started);
