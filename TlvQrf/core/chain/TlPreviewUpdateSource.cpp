// The update's first steps: which De-Bayer filter develops the mosaic,
// which source a two-source image feeds the chain from, and the scales and
// needs that the later steps work with.
#include "chain/TlPreviewUpdate.h"

#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filtrix/KelvraFilterBase.h"
#include "params/TlDeBayerSetup.h"
#include "params/TlDevelopParams.h"
#include "params/TlSaturationCompensation.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlToneLuts.h"
#include "params/TlvParamSet.h"
#include "raw/TlRawFormat.h"

using namespace TlChainSlots;

namespace {

constexpr std::uint32_t kNoLchMode = 4;

} // namespace

bool CTlPreviewUpdate::SetUpDeBayer(int slot, long factor)
{
    auto* filter = SlotAs<CDeBayerFilterBase>(slot);
    if (filter == nullptr)
        return true;
    return SetupDeBayer(filter, *m_ctx.params, factor) || Fail(TlUpdateCode::kFilterFailed);
}

bool CTlPreviewUpdate::ChooseDeBayer()
{
    const bool mosaic = m_ctx.mosaic;
    if (Mode() >= 2) {
        if (!Has(TlChange::kPreviewMode))
            return true;
        if (!mosaic)
            return Enable(kHqDeBayer, false) && Enable(kStdDeBayer, false);
        const bool standard = Mode() != 3;
        const int used = standard ? kStdDeBayer : kHqDeBayer;
        return Enable(standard ? kHqDeBayer : kStdDeBayer, false) && SetUpDeBayer(used, m_ctx.reduction);
    }
    if (!Has(TlChange::kScale))
        return true;
    if (!mosaic)
        return Enable(kHqDeBayer, false) && Enable(kStdDeBayer, false);
    // Below one image pixel a screen pixel the quick filter shows as much.
    const bool quick = m_ctx.viewScale < 1.0;
    const int used = quick ? kStdDeBayer : kHqDeBayer;
    return EnableSilently(quick ? kHqDeBayer : kStdDeBayer, false) && SetUpDeBayer(used, 1);
}

// A two-source image develops its small second source while the preview is
// small enough for it, and the full one once the view comes closer.
bool CTlPreviewUpdate::ChooseSource()
{
    if (Mode() != 0 || !m_ctx.twoSource)
        return true;
    auto* image = dynamic_cast<CSigProcImage*>(m_ctx.params->image);
    m_chain.m_pendingScale = false;
    if (image == nullptr)
        return true;
    const double reference = m_chain.m_referenceScale;
    const bool referenceSet = reference != 1.0;
    bool reduced = image->IsSecondSourceSelected();
    if (reduced && referenceSet && m_ctx.viewScale > reference) {
        if (!Check(image->SelectSource(false, true)))
            return false;
        reduced = false;
        m_ctx.changes |= TlChange::kScale;
    }
    if (UpdateDevelopParams(*m_ctx.params, false, false)) {
        if (!reduced && referenceSet && m_ctx.viewScale <= reference) {
            if (!Check(image->SelectSource(true, true)))
                return false;
            reduced = true;
            m_ctx.changes |= TlChange::kScale;
        }
        UpdateDevelopParams(*m_ctx.params, true, true);
    }
    if (reduced && referenceSet) {
        m_chain.m_pendingScale = true;
        m_ctx.viewScale /= reference;
    }
    return Check(image->Update());
}

// The size the scaling steps start from, and the scales and colour needs
// worked out once.
bool CTlPreviewUpdate::ReadImageSize()
{
    if (Mode() != 0) {
        IKelvraDataSource* sized = m_chain.m_source;
        if (IsEnabled(kStdDeBayer))
            sized = Slot(kStdDeBayer);
        else if (IsEnabled(kHqDeBayer))
            sized = Slot(kHqDeBayer);
        IKelvraError* error = sized->GetSize(&m_ctx.imageWidth, &m_ctx.imageHeight);
        m_ctx.haveImageSize = error == nullptr;
        IKelvraError::Release(error);
        m_ctx.viewScale *= m_ctx.reduction;
    }
    WorkOutScales();
    return true;
}

void CTlPreviewUpdate::WorkOutScales()
{
    const CTlvParamSet& params = *m_ctx.params;
    double working = m_ctx.viewScale;
    if (Mode() != 0) {
        const bool native = m_ctx.stretchedModel && m_ctx.viewScale == kTlScaledMosaicScale;
        if (!m_chain.m_channelOrder || native)
            working = 1.0;
    }
    m_ctx.workingScale = working;
    if (Mode() == kNoLchMode)
        return;
    const CTlTripleValueState* detail = params.LevelTriple();
    m_ctx.labNeeded = m_ctx.viewScale >= 1.0 && detail != nullptr && detail->first != 0;
    m_ctx.lchNeeded = NeedsLch();
}

bool CTlPreviewUpdate::NeedsLch() const
{
    if (Mode() == 0)
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    const CTlLutGroup* curves = CTlvParamSet::Present(params.lchFlag, params.lch);
    const CTlChromaBoostState* boost = CTlvParamSet::Present(params.chromaBoostFlag, params.chromaBoost);
    if ((curves != nullptr && !curves->IsDefault()) || (boost != nullptr && !boost->IsDefault()))
        return true;
    int hue = 3;
    double saturation = 1.0;
    const bool hueSaturation = GetHueSaturation(params, &hue, &saturation);
    if (!m_chain.m_colourManagement)
        return hueSaturation;
    const CTlUsmListState* list = CTlvParamSet::Present(params.sharpeningListFlag, params.sharpeningList);
    return (list != nullptr && !list->entries.empty()) || hueSaturation || GetCameraSharpening(&params) ||
           GetMixerSharpening(&params) || GetSaturationCompensation(params, nullptr);
}
