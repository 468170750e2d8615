// The chroma booster of the full-resolution chain: it needs its own
// calibration before its level means anything.
#include "fullres/TlChainBuilder.h"

#include "params/TlvParamSet.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"

namespace {

// The calibration loader's code for a file whose content is not a calibration.
constexpr long kCalibrationMalformed = 3500;

} // namespace

// A calibration that cannot be loaded gives 27, or 28 for a malformed file.
bool CTlChainBuilder::AppendChromaBoost()
{
    const CTlChromaBoostState* record = CTlvParamSet::Present(m_params.chromaBoostFlag, m_params.chromaBoost);
    if (record == nullptr || record->IsDefault())
        return true;
    CChromaBoosterFilter* filter = Make<CChromaBoosterFilter>();
    if (filter == nullptr)
        return false;
    if (!filter->IsCalibrationLoaded()) {
        if (IKelvraError* error = filter->LoadCalibration(m_params.tags)) {
            const bool malformed = error->GetCode() == kCalibrationMalformed;
            IKelvraError::Release(error);
            return Fail(malformed ? 28 : 27);
        }
    }
    return Check(filter->SetThresholdEnabled(record->enabled, true)) &&
           Check(filter->SetLevel(record->amount, true)) && Append(filter);
}
