// The source profile of an image's parameter set, with the camera profile
// generator attached for raw images: raw sources get their generated
// profiles. The chain builders ask through these.
#pragma once

#include "colour/TlSourceProfile.h"

#include <string>

class CTlvParamSet;

// ChooseSourceProfile for the parameter set.
std::string ChooseSourceProfileOf(const CTlvParamSet& set);

// RequestImageEngine for the parameter set.
bool RequestImageEngineOf(CCMLEngMgr::CReference& ref, const CTlvParamSet& set, const char* destination,
                          long* bitsPerChannel = nullptr, IKelvraError** why = nullptr);
