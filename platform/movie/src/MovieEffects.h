// The video effects the toolkit draws. `share` is the part of source 2
// still shown (from the description's "data" pair over the effect's time):
// at 1 the frame is source 2, at 0 source 1.
//   "dslv"        source 2 blended over source 1 by `share`
//   "smpt" wpID 1 source 1 covers the columns from share x width to the right
//   "smpt" wpID 2 source 1 covers the rows from share x height down
//   "smp2" wpID 119 source 2 inside a centred circle of radius share x half
//                 the diagonal, source 1 outside it
//   "slid"        source 1 slides in along `angle` (0 up, 90 right, 180
//                 down, 270 left), share x the way still to go, over source 2
#pragma once

#include "MovieAtoms.h"
#include "MovieFrame.h"

// Whether the toolkit draws this kind (and wipe id).
bool MovieEffectKnown(const MovieEffectParams& params);
// The share of source 2 at `time` of `duration`.
double MovieEffectShare(const MovieEffectParams& params, long time, long duration);
// Draws into `out` (sized like the sources).
void MovieRenderEffect(const MovieEffectParams& params, const MovieFrame& source1, const MovieFrame& source2,
                       double share, MovieFrame& out);
