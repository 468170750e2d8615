// The buffers one tile of either demosaicing filter works in. Tiles are
// made on several threads at once, so each thread keeps its own set and
// reuses it from tile to tile instead of allocating anew.
#pragma once

#include "filters/debayer/TlDemosaicHQ.h"
#include "filters/debayer/TlMosaicPlane.h"

#include <cstdint>
#include <vector>

struct CTlDeBayerWorkspace {
    CTlMosaicPlane raw;
    CTlRgbPlane rgb;
    std::vector<std::int32_t> green; // the standard filter's green plane
    CTlHQScratch hq;

    // The calling thread's workspace.
    static CTlDeBayerWorkspace& ForThisThread();
    // Gives back memory a very large tile took, so that a thread that once
    // made one does not hold it for good.
    void TrimIfLarge();
};
