// Notices a standard filter's setter sends besides the whole-output data
// notice of the filter base: a new output format or a new output size.
#pragma once

#include "filtrix/KelvraFilterBase.h"

// One chain of both errors (either may be null), each wrapped with `tag`.
IKelvraError* FiltrixJoin(KelvraTag tag, IKelvraError* first, IKelvraError* second);

// The filter's output format now; 0 without a source or when it cannot be read.
KelvraPixelFormat FiltrixCurrentFormat(CKelvraFilterBase& filter);

// Code 2 from `filter` when `before` (0: unknown) differs from `after`.
IKelvraError* FiltrixSendFormatChange(CKelvraFilterBase& filter, bool notify, KelvraPixelFormat before,
                                      KelvraPixelFormat after);

// Code 1 from `filter` with the old and new output size.
IKelvraError* FiltrixSendSizeChange(CKelvraFilterBase& filter, bool notify, const KelvraSizeChange& change);
