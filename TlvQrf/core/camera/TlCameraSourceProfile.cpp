#include "camera/TlCameraSourceProfile.h"

#include "camera/TlCameraParamsGather.h"
#include "camera/TlCameraProfile.h"
#include "params/TlParamSetProfileFacts.h"
#include "params/TlvParamSet.h"

namespace {

// Runs `use` with the facts of `set`; for a raw image of a camera with
// profiles, the generator is set up and attached while `use` runs, and its
// buffers and the custom curve go with it.
template <typename Use>
auto WithFacts(const CTlvParamSet& set, Use use)
{
    TlSourceProfileFacts facts = MakeSourceProfileFacts(set);
    TlGatheredParams gathered;
    CTlCameraProfile generator;
    if (facts.raw && !set.IsSignalProcessingModel()) {
        TlGatherCameraParams(set, &gathered);
        if (generator.SetUp(gathered.params)) {
            facts.cameraProfile = &generator;
            if (gathered.params.tone == kTlCustomTone)
                facts.customCurveNumber = gathered.customCurveNumber;
        }
    }
    return use(facts);
}

} // namespace

std::string ChooseSourceProfileOf(const CTlvParamSet& set)
{
    return WithFacts(set, [](const TlSourceProfileFacts& facts) { return ChooseSourceProfile(facts); });
}

bool RequestImageEngineOf(CCMLEngMgr::CReference& ref, const CTlvParamSet& set, const char* destination,
                          long* bitsPerChannel, IKelvraError** why)
{
    return WithFacts(set, [&](const TlSourceProfileFacts& facts) {
        return RequestImageEngine(ref, facts, destination, bitsPerChannel, why);
    });
}
