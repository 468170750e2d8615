// The moire filter set from the settings' moire level.
#pragma once

class CMoireFilter;
class CTlvParamSet;

// The strength of a moire level: 1, 2 and 3 give 15, 25 and 75; any other
// level 0.
int MoireStrengthForLevel(int level);

// With a level-triple record whose moire level is not 0: the strength of
// that level, and the filter on; otherwise the filter off. A failing call
// is dropped and leaves the filter off: false. True when every call
// succeeded.
bool SetMoireLevel(const CTlvParamSet& params, CMoireFilter& filter);
