// What the filters that work on LCh data need before their settings mean
// anything: their calibration, and the user's LCH curves as tables.
#pragma once

#include "params/TlLutTable.h"

class CFltLch;
class CTlLutGroup;
class IKelvraError;
class IKelvraTagControl;

// The calibration, unless loaded already: 0, else `failed`, or `malformed`
// for a file that is there but is no calibration. The filter's error goes
// to `why` when given (the caller releases it), else it is released.
int LoadLchCalibration(CFltLch& filter, IKelvraTagControl* tags, int failed, int malformed,
                       IKelvraError** why = nullptr);
// Lightness, chroma and hue tables of 65536 entries from the group's
// elements 1, 3 and 2, in that order; the identity where the group lacks
// one. False when memory runs out.
bool MakeLchTables(const CTlLutGroup& group, STlLutTables& tables);
