// The full preview's last step: what the host is told about where the
// preview approximates the developed image, and the histograms, the middle
// one counting only the part of the sensor the camera really uses.
#include "chain/TlPreviewUpdate.h"

#include "filtrix/KelvraFilterHistogram.h"
#include "params/TlvParamSet.h"

using namespace TlChainSlots;

namespace {

constexpr double kNearlyFull = 0.95;
constexpr double kFinestRadius = 0.5;
constexpr double kRadiusUnit = 0.2;

struct SModelCrop {
    std::uint16_t model;
    long left, top, right, bottom;
};

const SModelCrop kModelCrops[] = {
    {257, 32, 16, 1968, 1296},  {258, 32, 16, 1968, 1296},  {259, 64, 16, 3936, 1296},
    {260, 20, 20, 2460, 1628},  {1025, 2, 20, 3038, 2004}, {1026, 16, 7, 3024, 2007},
};

bool ListTooFine(const CTlvParamSet& params, double ratio)
{
    const CTlUsmListState* list = CTlvParamSet::Present(params.sharpeningListFlag, params.sharpeningList);
    if (list == nullptr)
        return false;
    for (const CTlUsmState& entry : list->entries) {
        if (entry.Radius() * ratio * kRadiusUnit < kFinestRadius)
            return true;
    }
    return false;
}

} // namespace

bool CTlPreviewUpdate::UpdateApproximations()
{
    if (Mode() != 0)
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    const double frameScale = params.geometry != nullptr ? params.geometry->GetScale() : 1.0;
    const double ratio = frameScale != 0.0 ? m_ctx.workingScale / frameScale : 1.0;
    const CTlTripleValueState* detail = params.LevelTriple();
    bool* flags = m_chain.m_approximations;
    flags[0] = ratio < kNearlyFull && ListTooFine(params, ratio);
    flags[1] = ratio < kNearlyFull && IsEnabled(kFirstUsm) && 2.0 * ratio < kFinestRadius;
    flags[2] = m_ctx.workingScale < 1.0 && detail != nullptr && !detail->IsDefault();
    flags[3] = m_ctx.workingScale < 1.0;
    return true;
}

KelvraRect CTlPreviewUpdate::HistogramCrop() const
{
    KelvraRect rect;
    for (const SModelCrop& crop : kModelCrops) {
        if (crop.model == m_ctx.params->modelCode) {
            rect.left = crop.left;
            rect.top = crop.top;
            rect.right = crop.right;
            rect.bottom = crop.bottom;
            return rect;
        }
    }
    long width = 0;
    long height = 0;
    IKelvraError::Release(m_chain.m_source->GetSize(&width, &height));
    rect.right = width;
    rect.bottom = height;
    return rect;
}

bool CTlPreviewUpdate::UpdateHistograms()
{
    if (Mode() != 0)
        return true;
    if (!Enable(kFirstHistogram, true) || !Enable(kLastHistogram, true))
        return false;
    auto* histogram = SlotAs<CKelvraFilterHistogram>(kCropHistogram);
    if (!m_ctx.rawTone || m_chain.m_histogramReady || histogram == nullptr || histogram->IsEnabled())
        return true;
    return Check(histogram->SetCrop(HistogramCrop())) && Enable(kCropHistogram, true) &&
           Check(histogram->AddWatcher(&m_chain));
}
