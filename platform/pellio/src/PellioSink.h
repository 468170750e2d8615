// The writers behind the saver: each turns a save plan into a file, one
// step at a time.
#pragma once

#include "PellioSavePlan.h"
#include "PellioTagValues.h"
#include "pellio/KelvraFileStream.h"

#include <memory>

constexpr long kPellioBandRows = 64;

class CPellioSink {
public:
    virtual ~CPellioSink() = default;
    virtual long StepCount() const = 0;
    // Runs step `step`; steps run in order and the last completes the file.
    virtual IKelvraError* RunStep(long step) = 0;
};

// Rows [first, first + count) of `image`, packed, in its stored format.
IKelvraError* PellioPullRows(const PellioSaveImage& image, long first, long count, std::vector<std::uint8_t>* rows);

std::unique_ptr<CPellioSink> PellioMakeTiffSink(IKelvraFileStream* stream, const PellioSaveFormat& rule,
                                                std::uint32_t option, PellioSavePlan plan,
                                                std::vector<PellioTagValue> tags);
std::unique_ptr<CPellioSink> PellioMakeJpegSink(IKelvraFileStream* stream, std::uint32_t option,
                                                PellioSavePlan plan, std::vector<PellioTagValue> tags);
