// The filters of the full-resolution chain that work on LCh data: the
// chroma booster and the user's LCH curves. Both need their calibration
// before their settings mean anything.
#include "fullres/TlChainBuilder.h"

#include "params/TlLutTable.h"
#include "params/TlvParamSet.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/lch/TlFltLch.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"

namespace {

// The calibration loader's code for a file whose content is not a calibration.
constexpr long kCalibrationMalformed = 3500;
constexpr int kLchEntries = 65536;
constexpr int kWordEntry = 2;

// The calibration, unless loaded already; 0, else `failed`, or `malformed`
// for a file that is there but is no calibration.
int LoadCalibration(CFltLch& filter, IKelvraTagControl* tags, int failed, int malformed)
{
    if (filter.IsCalibrationLoaded())
        return 0;
    IKelvraError* error = filter.LoadCalibration(tags);
    if (error == nullptr)
        return 0;
    const bool isMalformed = error->GetCode() == kCalibrationMalformed;
    IKelvraError::Release(error);
    return isMalformed ? malformed : failed;
}

// One LCH table from the group's element `id`, by the element's kind; the
// identity where the group lacks it.
void FillLchTable(const CTlLutGroup& group, int id, std::uint16_t* table)
{
    CTlCurveBase* element = group.Find(id);
    if (auto* lut = dynamic_cast<CTlLut*>(element)) {
        lut->EvaluateDefault(table, kWordEntry, kLchEntries, kLchEntries, 0, 1.0);
    } else if (auto* point = dynamic_cast<CTlPointCurve*>(element)) {
        point->FillTableDefault(table, kWordEntry, kLchEntries, kLchEntries, 0);
    } else if (auto* linear = dynamic_cast<CTlLinearCurve*>(element)) {
        linear->GetTable(1, table, kWordEntry, kLchEntries, kLchEntries, 0);
    } else {
        for (int i = 0; i < kLchEntries; ++i)
            table[i] = static_cast<std::uint16_t>(i);
    }
}

} // namespace

bool CTlChainBuilder::AppendChromaBoost()
{
    const CTlChromaBoostState* record = CTlvParamSet::Present(m_params.chromaBoostFlag, m_params.chromaBoost);
    if (record == nullptr || record->IsDefault())
        return true;
    CChromaBoosterFilter* filter = Make<CChromaBoosterFilter>();
    if (filter == nullptr)
        return false;
    if (const int code = LoadCalibration(*filter, m_params.tags, 27, 28))
        return Fail(code);
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
    if (const int code = LoadCalibration(*filter, m_params.tags, 25, 26))
        return Fail(code);
    STlLutTables tables;
    if (!tables.Allocate(kLchEntries))
        return Fail(3);
    const int ids[3] = {1, 3, 2};
    for (int c = 0; c < 3; ++c)
        FillLchTable(*group, ids[c], tables.channel[c].get());
    const std::uint16_t* pointers[3];
    tables.Pointers(pointers);
    return Check(filter->SetLuts(pointers, 16, 16, 3, true)) && Append(filter);
}
