// The error tag of the raw-processing image, shared by its source files.
#pragma once

#include "filters/frame/TlFilterId.h"

constexpr KelvraTag kSigProcTag = TlFilterId("Raw1");
// Category of the signal-processing library's own results.
constexpr std::uint32_t kSigProcCategory = TlFilterId("sigp");

#define RAW1_ERROR(code) IKelvraError::Add(nullptr, kSigProcTag, __LINE__, kKelvraCategoryKelvra, (code))
#define RAW1_WRAP(chain, inner) IKelvraError::AddWorker((chain), kSigProcTag, __LINE__, (inner))
