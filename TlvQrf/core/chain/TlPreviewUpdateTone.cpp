// The update's tone stages: the linear-light tables around the raw stages,
// the white-balance and tone table, and the user's tone curves.
#include "chain/TlPreviewUpdate.h"

#include "filtrix/KelvraFilterLut.h"
#include "params/TlToneLuts.h"
#include "params/TlvParamSet.h"

using namespace TlChainSlots;

namespace {

bool IsActive(const CTlLutGroup* group)
{
    return group != nullptr && !group->IsDefault();
}

} // namespace

bool CTlPreviewUpdate::UpdateInitialTables()
{
    return !IsFull() || Enable(kInitialLut, m_ctx.rawTone);
}

bool CTlPreviewUpdate::UpdateToneTables()
{
    if (Has(TlChange::kVignette | TlChange::kDust | TlChange::kRevelation) && !Enable(kSquareLut, m_ctx.rawTone))
        return false;
    if (!Has(TlChange::kWhiteBalance | TlChange::kAdjust))
        return true;
    auto* lut = SlotAs<CKelvraFilterLut>(kToneLut);
    if (!m_ctx.rawTone || lut == nullptr)
        return Enable(kToneLut, false);
    return Check(SetWhiteBalanceToneLut(*m_ctx.params, nullptr, lut, true)) && Enable(kToneLut, true);
}

// Without per-channel curves both curve groups go into one table.
bool CTlPreviewUpdate::UpdateCurves()
{
    const CTlvParamSet& params = *m_ctx.params;
    std::uint32_t bits = m_ctx.changes & (TlChange::kFirstCurves | TlChange::kSecondCurves);
    if (bits == 0)
        return true;
    CTlLutGroup* first = CTlvParamSet::Present(params.firstCurvesFlag, params.firstCurves);
    CTlLutGroup* second = CTlvParamSet::Present(params.secondCurvesFlag, params.secondCurves);
    const bool perChannel = params.options[CTlvParamSet::kOptionCurvesPerChannel] != 0;
    if (!perChannel) {
        bits = TlChange::kFirstCurves;
        if (!Enable(kFirstCurveLut, false))
            return false;
    }
    if ((bits & TlChange::kSecondCurves) != 0) {
        auto* lut = SlotAs<CKelvraFilterLut>(kFirstCurveLut);
        if (!IsActive(second) || lut == nullptr) {
            if (!Enable(kFirstCurveLut, false))
                return false;
        } else if (!SetCurveLut(nullptr, second, nullptr, lut, false) || !Enable(kFirstCurveLut, true)) {
            return Fail(TlUpdateCode::kFilterFailed);
        }
    }
    if ((bits & TlChange::kFirstCurves) == 0)
        return true;
    CTlLutGroup* combined = perChannel ? nullptr : second;
    auto* lut = SlotAs<CKelvraFilterLut>(kSecondCurveLut);
    if ((!IsActive(first) && !IsActive(combined)) || lut == nullptr)
        return Enable(kSecondCurveLut, false);
    if (!SetCurveLut(first, combined, nullptr, lut, false))
        return Fail(TlUpdateCode::kFilterFailed);
    return Enable(kSecondCurveLut, true);
}
