// The full preview's overlays: the grid, laid out for what the view shows,
// and the visual crop frame, which shows the crop on the whole picture and
// has the display repaint where the frame stood before.
#include "chain/TlPreviewUpdate.h"

#include "filters/visualcrop/TlVisualCropFilter.h"
#include "kelvra/KelvraData.h"
#include "params/TlvParamSet.h"

using namespace TlChainSlots;

namespace {

// How far around the old frame the display repaints.
constexpr long kFrameMargin = 5;
constexpr long kRepaint = 0;

} // namespace

bool CTlPreviewUpdate::UpdateGrid()
{
    if (Mode() != 0)
        return true;
    if (Has(TlChange::kGrid) && !Enable(kGrid, m_chain.m_grid))
        return false;
    const CTlGeometryState* geometry = m_ctx.params->geometry;
    if (Has(TlChange::kGeometry) && geometry != nullptr) {
        const CTlDblRect& crop = m_ctx.crop;
        STlChainView view;
        view.visible = {crop.left, crop.top, crop.right, crop.bottom};
        view.referenceScale = geometry->GetScale();
        view.displayScale = geometry->GetScale();
        m_chain.FitGrid(&view, false);
    }
    return true;
}

// The frame shows the crop on the whole picture; when it moves, the display
// repaints the old frame with a margin around it.
bool CTlPreviewUpdate::UpdateVisualCrop()
{
    if (Mode() != 0 || !Has(TlChange::kGeometry | TlChange::kScale | TlChange::kRotation))
        return true;
    auto* frame = SlotAs<CVisualCropFilter>(kVisualCrop);
    if (frame == nullptr)
        return true;
    if (Has(TlChange::kGeometry | TlChange::kRotation)) {
        KelvraRect old = *frame->GetRect();
        if (old.right != old.left || old.bottom != old.top) {
            old.left -= kFrameMargin;
            old.top -= kFrameMargin;
            old.right += kFrameMargin;
            old.bottom += kFrameMargin;
            IKelvraError::Release(KelvraSendDataNotification(frame, kRepaint, &old));
        }
    }
    if (m_chain.m_sizeMode != 0)
        return Enable(kVisualCrop, false);
    if (!m_ctx.cropped)
        return Enable(kVisualCrop, false);
    CTlDblRect crop = m_ctx.crop;
    crop.Scale(m_ctx.workingScale * 0.5);
    KelvraRect rect;
    rect.left = long(crop.left);
    rect.top = long(crop.top);
    rect.right = long(crop.right);
    rect.bottom = long(crop.bottom);
    if (rect.right == rect.left)
        rect.right = rect.left + 1;
    if (rect.bottom == rect.top)
        rect.bottom = rect.top + 1;
    return Check(frame->SetRect(&rect, true)) && Enable(kVisualCrop, true);
}
