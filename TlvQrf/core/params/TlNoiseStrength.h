// The strength of the colour-noise reduction that the settings ask for.
#pragma once

class CTlvParamSet;

// The factor of the level triple's colour-noise step (1 to 10, from 0.2 up
// to 1.0); 0.0 for any other step, and when the set has no tag control or
// no level-triple record. The chains apply a factor above 0.0 as the
// filter's strength.
double GetNoiseStrengthFactor(const CTlvParamSet& params);
