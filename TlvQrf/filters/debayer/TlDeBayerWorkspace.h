// The buffers one tile of either demosaicing filter works in. Tiles are
// made on several threads at once, so each tile borrows a set of its own
// from a shared shelf and gives it back, to be reused by the next tile
// instead of allocating anew.
#pragma once

#include "filters/debayer/TlDemosaicHQ.h"
#include "filters/debayer/TlMosaicPlane.h"

#include <cstdint>
#include <memory>
#include <vector>

struct CTlDeBayerWorkspace {
    CTlMosaicPlane raw;
    CTlRgbPlane rgb;
    std::vector<std::int32_t> green; // the standard filter's green plane
    CTlHQScratch hq;
};

// One tile's loan of a workspace. The shelf is not thread-local storage on
// purpose: tiles are made on the framework's worker threads, and a
// thread-local object with a destructor would tie the runtime's exit-time
// key cleanup to threads this module did not start.
class CTlDeBayerWorkspaceLease {
public:
    CTlDeBayerWorkspaceLease();  // empty when no memory was left
    ~CTlDeBayerWorkspaceLease(); // gives it back, trimmed when a tile made it very large
    CTlDeBayerWorkspaceLease(const CTlDeBayerWorkspaceLease&) = delete;
    CTlDeBayerWorkspaceLease& operator=(const CTlDeBayerWorkspaceLease&) = delete;

    explicit operator bool() const { return m_work != nullptr; }
    CTlDeBayerWorkspace& operator*() const { return *m_work; }

private:
    std::unique_ptr<CTlDeBayerWorkspace> m_work;
};
