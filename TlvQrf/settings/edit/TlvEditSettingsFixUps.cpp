// What a Load does once the entries are read: the geometry, which needs the
// flip value and angle, and the repairs of curves and white balance that the
// filters rely on.
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/edit/TlvEditLoading.h"
#include "settings/edit/TlvEditSlots.h"
#include "settings/geometry/TlGeometryState.h"
#include "settings/small/TlWhiteBalanceState.h"

#include <new>

namespace {

constexpr int kCurveChannels = 4;

CTlWhiteBalanceState* SelectedWhiteBalance(CTlvEditSettings& settings)
{
    return TlvRecordSelected(settings, kTlvSlotWhiteBalance) ? settings.whiteBalance.record : nullptr;
}

} // namespace

void TlvLoadGeometry(CTlvEditSettings& settings, const TlvLoadContext& context, bool orientFirst)
{
    CTlGeometryState* geometry = settings.geometry.record;
    if (!context.hasGeometry || geometry == nullptr || !TlvRecordSelected(settings, kTlvSlotGeometry))
        return;
    // A quarter turn lays the image's width along the geometry's height.
    const bool quarterTurn = settings.angle % 180 != 0;
    const int width = quarterTurn ? context.height : context.width;
    const int height = quarterTurn ? context.width : context.height;
    const TlvEntry& entry = context.geometry;
    if (!orientFirst) {
        if (geometry->Load(entry.bytes, entry.size, width, height) > 0)
            settings.recordsDone |= kTlvSlotGeometry;
        return;
    }
    // The load reads nothing of the record but its orientation, so it runs
    // on a fresh record: a refused entry leaves the owner's record as it was.
    try {
        CTlGeometryState oriented;
        oriented.SetRotation(settings.flip, settings.angle, false);
        if (oriented.Load(entry.bytes, entry.size, width, height) <= 0)
            return;
        *geometry = oriented;
        if (geometry->GetError() == 0)
            settings.recordsDone |= kTlvSlotGeometry;
    } catch (const std::bad_alloc&) {
        // The owner's record stays as it was.
    }
}

void TlvRebuildIncompleteCurves(CTlvEditSettings& settings, const TlvLoadContext& context)
{
    bool replaced = false;
    for (const TlvEditSlot& slot : TlvEditSlots()) {
        CTlLutGroup* group = TlvCurveGroup(settings, slot);
        if (group == nullptr || !TlvRecordSelected(settings, slot.bit) || group->GetCount() == kCurveChannels)
            continue;
        TlSetDefaultChannels(*group, slot.curveKind);
        if ((context.curvesRead & slot.bit) != 0)
            replaced = true;
    }
    settings.curvesReplaced = replaced ? 1 : 0;
}

void TlvSetWhiteBalanceAsShot(CTlvEditSettings& settings)
{
    if (CTlWhiteBalanceState* whiteBalance = SelectedWhiteBalance(settings)) {
        whiteBalance->mode = CTlWhiteBalanceState::kModeAsShot;
        whiteBalance->firstGain = 1.0;
        whiteBalance->secondGain = 1.0;
    }
}

void TlvMendWhiteBalance(CTlvEditSettings& settings)
{
    const CTlWhiteBalanceState* whiteBalance = SelectedWhiteBalance(settings);
    if (whiteBalance != nullptr && (whiteBalance->firstGain == 0.0 || whiteBalance->secondGain == 0.0))
        TlvSetWhiteBalanceAsShot(settings);
}
