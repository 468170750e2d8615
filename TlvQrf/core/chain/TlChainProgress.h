// The progress interface the preview chain hands to the parts that report
// steps of their own work, and the host's progress callback it reports to.
#pragma once

#include <cstdint>

// Kinds: 0 started, 1 progress (value 0 to 100), 2 finished.
using TlChainProgressCallback = void(__stdcall*)(std::uint32_t kind, std::uint32_t value, std::uint32_t flags);

enum : std::uint32_t {
    kTlProgressStarted = 0,
    kTlProgressStep = 1,
    kTlProgressFinished = 2,
    // Who reports: the chain's own progress interface, a filter's phase, a
    // plug-in filter.
    kTlProgressFromChain = 0x2000,
    kTlProgressFromFilter = 0x80000,
    kTlProgressFromPlugin = 0x400000,
};

class ITlChainProgress {
public:
    virtual ~ITlChainProgress() = default;
    // `current` -1 starts, -2 ends, otherwise step `current` of `total`.
    virtual int ReportProgress(std::int32_t current, std::int32_t total) = 0;
};
