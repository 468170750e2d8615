// What the filter benchmarks share: error reporting, and pulling every
// output tile of a source once, as a display or a run would, on one or
// several threads (each thread takes every n-th row of tiles).
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraError.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstdint>

// True without an error; prints and releases one.
bool BenchOk(IKelvraError* error, const char* what);

// Locks and unlocks every tile of `source` once, on `threads` threads.
bool BenchPullAll(IKelvraDataSource& source, long threads);

// The machine's cores (at least 1).
long BenchCores();

// Sets the three 16-bit samples of pixel (x, y).
using BenchPixelFill = void (*)(long x, long y, std::uint16_t* pixel);

// A three-sample 16-bit image of `format`, every pixel set by `fill`; null
// (after printing why) when it cannot be made.
IKelvraImage* BenchMakeImage16(IKelvraManager* manager, long width, long height, KelvraPixelFormat format,
                               BenchPixelFill fill);
