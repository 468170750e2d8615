// What the plug-in host tests share: the test plug-in files, the controls
// the test plug-in exports (its log, a selector made to fail), its
// parameter blocks and the pixels it should make.
#pragma once

#include "TlTestPluginParameters.h"
#include "filters/plugin/TlPluginEntry.h"
#include "filters/plugin/TlPsPluginHost.h"
#include "kelvra/KelvraTypes.h"

#include <windows.h>

#include <vector>

namespace plugin_test {

constexpr char kTestPlugin[] = "TlTestPlugin.dll";
constexpr char kBarePlugin[] = "TlBarePlugin.dll";
constexpr char kBadResourcePlugin[] = "TlBadResPlugin.dll";
constexpr char kNoEntryPlugin[] = "TlNoEntryPlugin.dll";
constexpr char kMissingPlugin[] = "TlNoSuchPlugin.dll";

inline CPluginEntry EntryFor(const char* path, std::int32_t id = 0)
{
    CPluginEntry entry;
    entry.path.Assign(path);
    entry.id = id;
    return entry;
}

// An export of the loaded test plug-in.
template <typename Function>
Function TestPluginExport(const char* name)
{
    const HMODULE module = GetModuleHandleA(kTestPlugin);
    return module != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

// Every call of the loaded test plug-in's entry since it was loaded or
// reset: the selector on entry, kTlTestPluginExit plus it on return.
inline std::vector<int> PluginLog()
{
    using Log = int(PS_API*)(int*, int);
    std::vector<int> events(8192);
    const auto log = TestPluginExport<Log>("TlTestPluginLog");
    events.resize(log != nullptr ? std::size_t(log(events.data(), int(events.size()))) : 0);
    return events;
}

// The selectors the entry was called with, in order.
inline std::vector<int> PluginSelectors()
{
    std::vector<int> selectors;
    for (int event : PluginLog()) {
        if (event < kTlTestPluginExit)
            selectors.push_back(event);
    }
    return selectors;
}

inline void ResetPlugin()
{
    if (const auto reset = TestPluginExport<void(PS_API*)()>("TlTestPluginReset"))
        reset();
}

inline void FailSelector(int selector, int result)
{
    if (const auto fail = TestPluginExport<void(PS_API*)(int, int)>("TlTestPluginFail"))
        fail(selector, result);
}

inline TlTestPluginParameters Parameters(std::uint16_t amount, std::uint8_t layout = kPsLayoutInterleaved,
                                         std::uint8_t inputRate = 1, bool countFinishes = false)
{
    TlTestPluginParameters parameters{};
    parameters.magic = kTlTestPluginMagic;
    parameters.amount = amount;
    parameters.layout = layout;
    parameters.inputRate = inputRate;
    parameters.countFinishes = countFinishes ? 1 : 0;
    return parameters;
}

inline void GiveParameters(CPluginHost& host, const TlTestPluginParameters& parameters)
{
    host.SetParameters(&parameters, sizeof parameters);
}

inline TlTestPluginParameters HeldParameters(const CPluginHost& host)
{
    TlTestPluginParameters parameters{};
    if (host.GetParametersSize() == sizeof parameters)
        host.GetParameters(&parameters, sizeof parameters);
    return parameters;
}

// What the test plug-in makes of `samples` of `format`.
inline std::vector<unsigned> Filtered(std::vector<unsigned> samples, KelvraPixelFormat format, unsigned amount)
{
    const unsigned maximum = KelvraBitsPerSample(format) == 16 ? 65535 : 255;
    for (unsigned& sample : samples)
        sample = TlTestPluginFilter(sample, maximum, amount);
    return samples;
}

} // namespace plugin_test
