// The steps of the top-level record's Load, shared by its two stored
// versions: what a walk gathers, and the fix-ups that run after it.
#pragma once

#include "settings/edit/TlvEditEntries.h"
#include "settings/edit/TlvEditSettings.h"

#include <cstdint>

struct TlvLoadContext {
    int width = 0; // the image's pixel size
    int height = 0;
    // The geometry entry, loaded after the walk once flip value and angle
    // are known.
    TlvEntry geometry;
    bool hasGeometry = false;
    // Slot bits of the curve containers read from the block.
    std::uint32_t curvesRead = 0;
};

int TlvLoadVersion1(CTlvEditSettings& settings, const unsigned char* buffer, int size, TlvLoadContext& context);
int TlvLoadVersion2(CTlvEditSettings& settings, const unsigned char* buffer, int size, TlvLoadContext& context);

// Loads the remembered geometry into a present and selected geometry record,
// for the image turned by the angle. `orientFirst`: the record first takes
// the flip value and angle as its orientation. A refused entry leaves the
// record unchanged.
void TlvLoadGeometry(CTlvEditSettings& settings, const TlvLoadContext& context, bool orientFirst);
// Rebuilds with its default channels each present and selected curve
// container that does not hold four; sets curvesReplaced when one of them
// was read from the block, clears it otherwise.
void TlvRebuildIncompleteCurves(CTlvEditSettings& settings, const TlvLoadContext& context);
// A present and selected white balance with a zero gain becomes "as shot".
void TlvMendWhiteBalance(CTlvEditSettings& settings);
// Mode "as shot" with unit gains.
void TlvSetWhiteBalanceAsShot(CTlvEditSettings& settings);
