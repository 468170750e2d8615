// The red-eye record's region lists as the red-eye filter reads and writes
// them.
#pragma once

#include "settings/small/TlRedEyeState.h"

class CRedEyeFilter;

// Loads the manual or the automatic list into the filter; a block that
// cannot be copied stays empty, which the filter skips. False when the
// filter refused them.
bool LoadRedEyeRegions(CRedEyeFilter& filter, bool manual, const CTlRedEyeState::RegionList& regions);
// The filter's manual or automatic regions into `regions`; false, the list
// as it was, when the filter cannot give them.
bool StoreRedEyeRegions(CRedEyeFilter& filter, bool manual, CTlRedEyeState::RegionList& regions);
