#include "control/TlDefaultProfileHook.h"

#include "params/TlOutputProfile.h"

#include <atomic>

namespace {
std::atomic<TlDefaultProfileChooser> g_chooser{&GetOutputProfilePath};
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
