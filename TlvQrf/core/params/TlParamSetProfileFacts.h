// What the source-profile choice reads of a parameter set.
#pragma once

#include "colour/TlSourceProfile.h"

class CTlvParamSet;

// The image, its tags, the raw flag and model code, the assigned profile
// (the set's output-profile flag and path) and the Adobe colour mode. The
// camera-profile generator is left for the caller to attach.
TlSourceProfileFacts MakeSourceProfileFacts(const CTlvParamSet& params);
