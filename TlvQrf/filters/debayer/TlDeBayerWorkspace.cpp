#include "filters/debayer/TlDeBayerWorkspace.h"

namespace {

// Far above what a tile of the framework's size needs.
const std::size_t kKeptSamples = std::size_t(1) << 20;

} // namespace

CTlDeBayerWorkspace& CTlDeBayerWorkspace::ForThisThread()
{
    thread_local CTlDeBayerWorkspace workspace;
    return workspace;
}

void CTlDeBayerWorkspace::TrimIfLarge()
{
    if (raw.samples.capacity() > kKeptSamples)
        *this = CTlDeBayerWorkspace();
}
