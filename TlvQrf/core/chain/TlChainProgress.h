// The progress interface the preview chain hands to the parts that report
// steps of their own work.
#pragma once

#include <cstdint>

class ITlChainProgress {
public:
    virtual ~ITlChainProgress() = default;
    // `current` -1 starts, -2 ends, otherwise step `current` of `total`.
    virtual int ReportProgress(std::int32_t current, std::int32_t total) = 0;
};
