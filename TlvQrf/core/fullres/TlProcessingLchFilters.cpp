// The filters of the full-resolution chain that work on LCh data: the
// chroma booster and the user's LCH curves. Both need their calibration
// before their settings mean anything.
#include "fullres/TlChainBuilder.h"

#include "params/TlLchTables.h"
#include "params/TlvParamSet.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/lch/TlFltLch.h"
#include "settings/curves/TlLutGroup.h"

bool CTlChainBuilder::AppendChromaBoost()
{
    const CTlChromaBoostState* record = CTlvParamSet::Present(m_params.chromaBoostFlag, m_params.chromaBoost);
    if (record == nullptr || record->IsDefault())
        return true;
    CChromaBoosterFilter* filter = Make<CChromaBoosterFilter>();
    if (filter == nullptr)
        return false;
    IKelvraError* why = nullptr;
    if (const int code = LoadLchCalibration(*filter, m_params.tags, 27, 28, &why))
        return Fail(code, why);
    return Check(filter->SetThresholdEnabled(record->enabled, true)) &&
           Check(filter->SetLevel(record->amount, true)) && Append(filter);
}

// Lightness, chroma and hue tables, in that order of the group's ids 1, 3
// and 2; they are freed once the filter has its copies.
bool CTlChainBuilder::AppendLchCurves()
{
    const CTlLutGroup* group = CTlvParamSet::Present(m_params.lchFlag, m_params.lch);
    if (group == nullptr || group->IsDefault())
        return true;
    CFltLch* filter = Make<CFltLch>();
    if (filter == nullptr)
        return false;
    IKelvraError* why = nullptr;
    if (const int code = LoadLchCalibration(*filter, m_params.tags, 25, 26, &why))
        return Fail(code, why);
    STlLutTables tables;
    if (!MakeLchTables(*group, tables))
        return Fail(3);
    const std::uint16_t* pointers[3];
    tables.Pointers(pointers);
    return Check(filter->SetLuts(pointers, 16, 16, 3, true)) && Append(filter);
}
