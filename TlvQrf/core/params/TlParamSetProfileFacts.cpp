#include "params/TlParamSetProfileFacts.h"

#include "kelvra/KelvraImage.h"
#include "params/TlvParamSet.h"

namespace {

// The colour-space choice of the settings that selects Adobe RGB.
constexpr int kAdobeColourSpaceChoice = 2;

} // namespace

TlSourceProfileFacts MakeSourceProfileFacts(const CTlvParamSet& params)
{
    TlSourceProfileFacts facts;
    facts.tags = params.tags;
    facts.pixelSource = params.image;
    facts.raw = params.rawFlag != 0;
    facts.modelCode = params.modelCode;
    facts.hasAssignedProfile = params.outputProfileFlag != 0 && params.outputProfilePath[0] != '\0';
    if (facts.hasAssignedProfile)
        facts.assignedProfile = params.outputProfilePath;
    const CTlAdjustState* adjust = params.Adjust();
    facts.adobeColourMode = adjust != nullptr && adjust->ColourSpaceChoice() == kAdobeColourSpaceChoice;
    return facts;
}
