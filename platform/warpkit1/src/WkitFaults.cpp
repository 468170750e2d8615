#include "WkitFaults.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct PlantedFault {
    bool armed = false;
    int skip = 0;
    int result = 0;
    char text[256] = {};
};

// Calls may come from any thread; tests plant faults on theirs.
std::mutex g_lock;
PlantedFault g_faults[kWKITCallCount];
PlantedFault g_allocation;
std::vector<WKITPassEvent> g_log;

bool CountDown(PlantedFault& fault)
{
    if (!fault.armed)
        return false;
    if (fault.skip > 0) {
        --fault.skip;
        return false;
    }
    fault.armed = false;
    return true;
}

} // namespace

bool WkitFaultFires(WKITCall call, int* result, WKITMessage* message)
{
    std::lock_guard<std::mutex> guard(g_lock);
    PlantedFault& fault = g_faults[call];
    if (!CountDown(fault))
        return false;
    *result = fault.result;
    if (message && fault.result == kWKITMessage)
        std::memcpy(message->text, fault.text, sizeof message->text);
    return true;
}

bool WkitAllocationFails()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return CountDown(g_allocation);
}

void WkitLogPass(int engine, int pass, bool started)
{
    std::lock_guard<std::mutex> guard(g_lock);
    try {
        g_log.push_back({engine, pass, started ? 1 : 0});
    } catch (...) {
        // The log only serves tests; a lost entry fails them, nothing else.
    }
}

extern "C" void WKITTestFailCall(WKITCall call, int skip, int result, const char* text)
{
    if (call < 0 || call >= kWKITCallCount)
        return;
    std::lock_guard<std::mutex> guard(g_lock);
    PlantedFault& fault = g_faults[call];
    fault.armed = true;
    fault.skip = skip;
    fault.result = result;
    std::memset(fault.text, 0, sizeof fault.text);
    if (text)
        std::strncpy(fault.text, text, sizeof fault.text - 1);
}

extern "C" void WKITTestFailAllocation(int skip)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_allocation.armed = true;
    g_allocation.skip = skip;
}

extern "C" void WKITTestClearFaults()
{
    std::lock_guard<std::mutex> guard(g_lock);
    for (PlantedFault& fault : g_faults)
        fault.armed = false;
    g_allocation.armed = false;
}

extern "C" int WKITTestTakePassLog(WKITPassEvent* events, int capacity)
{
    std::lock_guard<std::mutex> guard(g_lock);
    int copied = 0;
    for (const WKITPassEvent& event : g_log) {
        if (copied >= capacity)
            break;
        events[copied++] = event;
    }
    g_log.clear();
    return copied;
}
