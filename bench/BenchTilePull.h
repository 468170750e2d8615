// What the filter benchmarks share: error reporting, 16-bit test pictures,
// and pulling every output tile of a source once, as a display or a run
// would, on one or several threads (each thread takes every n-th row of
// tiles), timed.
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

// A picture of a 16-bit `format`, sample `plane` of pixel (x, y) given by
// `sample`. Null (with a message) on failure.
using BenchSample = std::uint16_t (*)(long x, long y, int plane);
IKelvraImage* BenchMakeImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format,
                             BenchSample sample);

// A manager and one test picture made with BenchMakeImage; says what it
// made on the report's first line ("W x H <what>, N core(s)").
class CBenchPicture {
public:
    CBenchPicture(long width, long height, KelvraPixelFormat format, BenchSample sample, const char* what);
    ~CBenchPicture();
    CBenchPicture(const CBenchPicture&) = delete;
    CBenchPicture& operator=(const CBenchPicture&) = delete;

    bool Ok() const { return m_image != nullptr; }
    IKelvraManager* Manager() const { return m_manager; }
    IKelvraImage* Image() const { return m_image; }
    long Cores() const { return m_cores; }

private:
    IKelvraManager* m_manager = nullptr;
    IKelvraImage* m_image = nullptr;
    long m_cores = 1;
};

// Pulls every tile of `last` on `threads` threads and prints the rate in
// megapixels per second under `name`.
void BenchReport(const char* name, IKelvraDataSource& last, long threads);
