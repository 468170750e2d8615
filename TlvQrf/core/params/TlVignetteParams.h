// The vignette filter set from the settings' vignette strength and the
// camera's sensor and lens.
#pragma once

class CTlvParamSet;
class CVignetteFilter;
class IKelvraError;

// With a vignette record whose percentage is not 0: the sensor size (the
// default sensor when the camera does not give its diagonal), the lens data
// and f-number when the camera recorded them (f/5.6 when it did not, 1.0
// when the sensor or lens could not be set), the strength (percentage /
// 100), the aspect scale (1.0 for one that is not a positive number) and
// the filter on. Without one, or when a setter fails (its error dropped),
// the filter is switched off and only that switch's error is returned.
IKelvraError* SetVignetteParams(const CTlvParamSet& params, CVignetteFilter& filter, double aspectScale);
