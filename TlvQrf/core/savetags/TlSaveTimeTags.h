// The tags a save refreshes in its tag copy: the IPTC record of the
// parameter set, the library's software tag, the time of the save, and the
// stored orientation, which the saved settings replace.
#pragma once

#include <windows.h>

#include <string>

class CTlvParamSet;
class IKelvraTagControl;

// "YYYY:MM:DD hh:mm:ss", as tag 306 holds it.
std::string FormatTagDateTime(const SYSTEMTIME& time);

// IPTC (removed when the parameter set has none), Software (left as it is
// when `softwareTag` is empty), the orientation tags removed, DateTime set
// to `now`. Failures are dropped: a DateTime that cannot be written is
// removed and takes the dust identification with it.
void WriteSaveTimeTags(IKelvraTagControl& tags, const CTlvParamSet& params, const std::string& softwareTag,
                       const SYSTEMTIME& now);
