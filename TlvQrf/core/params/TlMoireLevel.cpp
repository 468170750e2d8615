#include "params/TlMoireLevel.h"

#include "filters/moire/TlMoireFilter.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"

int MoireStrengthForLevel(int level)
{
    switch (level) {
    case 1:
        return 15;
    case 2:
        return 25;
    case 3:
        return 75;
    default:
        return 0;
    }
}

bool SetMoireLevel(const CTlvParamSet& params, CMoireFilter& filter)
{
    const CTlTripleValueState* triple = params.LevelTriple();
    IKelvraError* error = nullptr;
    if (triple != nullptr && triple->second != 0) {
        error = filter.SetStrength(MoireStrengthForLevel(triple->second), true);
        if (error == nullptr)
            error = filter.Enable(true, true);
    } else {
        error = filter.Enable(false, true);
    }
    if (Succeeded(error))
        return true;
    Succeeded(filter.Enable(false, true));
    return false;
}
