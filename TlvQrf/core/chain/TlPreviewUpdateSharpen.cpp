// The update's sharpening and plug-in stages. Sharpening works on LCh data,
// so without the LCh stage (or without colour management) the standard
// sharpening is off and the list's filters leave the chain.
#include "chain/TlPreviewUpdate.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlvParamSet.h"

#include <algorithm>

using namespace TlChainSlots;

namespace {

// Sharpening list absent for one call.
class CListHidden {
public:
    explicit CListHidden(CTlvParamSet& params) : m_params(params), m_flag(params.sharpeningListFlag)
    {
        m_params.sharpeningListFlag = 0;
    }
    ~CListHidden() { m_params.sharpeningListFlag = m_flag; }
    CListHidden(const CListHidden&) = delete;
    CListHidden& operator=(const CListHidden&) = delete;

private:
    CTlvParamSet& m_params;
    std::uint32_t m_flag;
};

} // namespace

bool CTlPreviewUpdate::UpdateSharpening()
{
    CTlvParamSet& params = *m_ctx.params;
    const bool sharpen = IsEnabled(kLchStage) && m_chain.m_colourManagement;
    const double scale = m_ctx.sharpenScale;
    const double aspect = m_ctx.aspect;
    if (Has(TlChange::kScale | TlChange::kAdjust | TlChange::kSaturation) || m_ctx.lchChanged) {
        auto* usm = SlotAs<CUnsharpMaskFilter>(kFirstUsm);
        if (sharpen && usm != nullptr)
            ApplyCameraSharpening(&params, usm, scale, aspect);
        else if (!Enable(kFirstUsm, false))
            return false;
    }
    if (Has(TlChange::kScale | TlChange::kSaturation) || m_ctx.lchChanged) {
        auto* usm = SlotAs<CUnsharpMaskFilter>(kSecondUsm);
        if (sharpen && usm != nullptr)
            ApplyMixerSharpening(&params, usm, scale, aspect);
        else if (!Enable(kSecondUsm, false))
            return false;
    }
    if (!Has(TlChange::kSharpeningList | TlChange::kScale | TlChange::kSaturation))
        return true;
    if (sharpen) {
        m_chain.SyncSharpenFilters(&params, scale, Slot(kOutputStage), aspect);
    } else {
        const CListHidden hidden(params);
        m_chain.SyncSharpenFilters(&params, m_ctx.workingScale, Slot(kOutputStage), aspect);
    }
    return true;
}

// Plug-ins see the picture at the view's scale, never above their own
// pixels.
bool CTlPreviewUpdate::UpdatePlugins()
{
    const CTlvParamSet& params = *m_ctx.params;
    if (Has(TlChange::kPlugins))
        m_chain.SyncPluginFilters(&params, Slot(kLostDetail));
    if (!Has(TlChange::kPlugins | TlChange::kGeometry | TlChange::kScale) || params.geometry == nullptr)
        return true;
    const double frameScale = params.geometry->GetScale();
    const double scale = frameScale > 0.0 ? std::min(m_ctx.viewScale / frameScale, 1.0) : 1.0;
    const CTlMeasure* resolution = params.geometry->GetResolution();
    const double dpi = resolution != nullptr ? resolution->value : 0.0;
    for (const auto& entry : m_chain.m_plugins) {
        if (!Check(entry.filter->SetScaleAndResolution(scale, dpi, true)))
            return false;
    }
    return true;
}
