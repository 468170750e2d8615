// The front ends through which the chains ask for engines, and the test of
// whether a colour filter changes anything.
#include "colour/TlColourEngineManager.h"
#include "colour/TlWorkingProfiles.h"

#include "filtrix/KelvraFilterCML.h"

#include <cstring>

bool RequestEngine(CCMLEngMgr::CReference& ref, const char* source, const char* destination, IKelvraError** why)
{
    CCMLEngMgr* manager = GetEngineManager();
    if (!manager) {
        ref.Release();
        return false;
    }
    IKelvraError* error = manager->GetEngine(source, destination, ref);
    const bool found = error == nullptr;
    if (why != nullptr)
        *why = error;
    else
        IKelvraError::Release(error);
    return found;
}

bool RequestEngineToWorkingProfile(CCMLEngMgr::CReference& ref, const char* source, int slot)
{
    if (slot < 0 || slot >= kTlWorkingProfileSlots) {
        ref.Release();
        return false;
    }
    return RequestEngine(ref, source, GetWorkingProfile(slot).c_str());
}

namespace {

// True when the side's tables act on the pixels, or cannot be asked about.
bool TablesAct(CKelvraFilterCML& filter, bool outputSide)
{
    long count = 0;
    IKelvraError* error = filter.GetLUTInfo(outputSide, 0, nullptr, nullptr, &count);
    if (error) {
        IKelvraError::Release(error);
        return true;
    }
    return count != 0;
}

} // namespace

bool IsColourFilterActive(CKelvraFilterCML* filter)
{
    if (!filter)
        return false;
    // Held for the test, so that the filter cannot drop the last use of its
    // engine under us.
    const CCMLEngMgr::CReference engine(filter->GetCMLEngine());
    if (!engine)
        return false;
    if (TablesAct(*filter, false) || TablesAct(*filter, true))
        return true;
    // Only the texts the engine wrote count: the records start out empty and
    // the comparison stops at each text's end.
    KelvraFile source, destination;
    IKelvraError* error = engine->GetProfiles(&source, &destination, nullptr);
    if (error) {
        IKelvraError::Release(error);
        return true;
    }
    return std::strncmp(source.path, destination.path, KelvraFile::kMaxPath) != 0;
}
