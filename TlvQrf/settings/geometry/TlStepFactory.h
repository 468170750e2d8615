// Replacing the step a geometry record owns by a 'Crop' or 'Size' step.
#pragma once

#include "settings/geometry/TlGeometryStep.h"

// Results of the factories.
enum : int {
    kTlStepMade = 0,
    kTlStepNoHolder = 1,
    kTlStepNoMemory = 2,
};

// A new step of that class, copied from the held step (default-constructed
// when the holder is empty), replaces and deletes the held one. Allocation
// failure keeps the held step.
int MakeCropStep(CTlGeometryStep** holder);
int MakeSizeStep(CTlGeometryStep** holder);
