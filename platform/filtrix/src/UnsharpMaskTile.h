// Makes one output tile of the unsharp-mask filter.
#pragma once

#include "UnsharpMaskPlan.h"

#include "kelvra/KelvraData.h"

// Fills what `tile` still needs from `source` by `plan`; errors carry
// `tag`. Throws std::bad_alloc, only while no tile is locked.
IKelvraError* UsmFillTile(IKelvraDataSource* source, const UsmPlan& plan, IKelvraTile* tile, KelvraTag tag);
