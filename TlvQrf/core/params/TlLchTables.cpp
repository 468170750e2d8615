#include "params/TlLchTables.h"

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

// One LCH table from the group's element `id`, by the element's kind.
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

int LoadLchCalibration(CFltLch& filter, IKelvraTagControl* tags, int failed, int malformed, IKelvraError** why)
{
    if (filter.IsCalibrationLoaded())
        return 0;
    IKelvraError* error = filter.LoadCalibration(tags);
    if (error == nullptr)
        return 0;
    const IKelvraError* cause = error->FindCause();
    const bool isMalformed = cause && cause->GetCode() == kCalibrationMalformed;
    if (why != nullptr)
        *why = error;
    else
        IKelvraError::Release(error);
    return isMalformed ? malformed : failed;
}

bool MakeLchTables(const CTlLutGroup& group, STlLutTables& tables)
{
    if (!tables.Allocate(kLchEntries))
        return false;
    const int ids[3] = {1, 3, 2};
    for (int c = 0; c < 3; ++c)
        FillLchTable(group, ids[c], tables.channel[c].get());
    return true;
}
