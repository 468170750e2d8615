// The grid overlay keeps its density on screen: it is laid out for the part
// of the image in view and the scale it is shown at.
#include "chain/TlCadraFilterChain.h"

#include "filtrix/KelvraFilterGrid.h"
#include "kelvra/KelvraData.h"

using namespace TlChainSlots;

bool CTlCadraFilterChain::FitGrid(const STlChainView* view, bool force)
{
    CKelvraFilterGrid* grid = SlotAs<CKelvraFilterGrid>(kGrid);
    if (!m_built || view == nullptr || grid == nullptr || !(view->displayScale > 0.0))
        return false;
    const double factor = view->referenceScale / view->displayScale * 0.5;
    const double width = (view->visible.right - view->visible.left) * factor;
    const double height = (view->visible.bottom - view->visible.top) * factor;
    long oldWidth = 0;
    long oldHeight = 0;
    double oldScale = 0.0;
    IKelvraError* error = grid->GetAssumedImageSize(&oldWidth, &oldHeight, &oldScale);
    if (error == nullptr)
        error = grid->SetAssumedImageSize(long(width), long(height), view->displayScale, true);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    const bool unchanged = oldWidth == long(width) && oldHeight == long(height) && oldScale == view->displayScale;
    if (!force && unchanged)
        return false;
    if (KelvraDestinationCount(grid) > 0)
        IKelvraError::Release(KelvraSendDataNotification(grid, kKelvraNotifyUpdateAll, nullptr));
    return true;
}
