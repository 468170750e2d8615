#include "control/TlDefaultProfileHook.h"

#include <atomic>

namespace {
std::atomic<TlDefaultProfileChooser> g_chooser{nullptr};
}

TlDefaultProfileChooser SetDefaultProfileChooser(TlDefaultProfileChooser chooser)
{
    return g_chooser.exchange(chooser);
}

bool ChooseDefaultProfile(const CTlvParamSet* params, char* path)
{
    const TlDefaultProfileChooser chooser = g_chooser.load();
    return chooser != nullptr && chooser(params, path);
}
