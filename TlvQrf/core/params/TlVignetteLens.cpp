#include "params/TlVignetteLens.h"

#include "kelvra/KelvraError.h"
#include "kelvra/KelvraTagControl.h"
#include "raw/TlQuietTagReads.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kVersionSize = 4;
constexpr std::size_t kFirstVersionOffsets[CVignetteFilter::kLensDataSize] = {13, 14, 15, 16, 17, 18};
constexpr std::size_t kSecondVersionOffsets[CVignetteFilter::kLensDataSize] = {4, 5, 19, 20, 21, 22};

// A length or an f-number that the lens model can divide by.
bool IsUsablePositive(double value)
{
    return std::isfinite(value) && value > 0.0;
}

bool ReadDouble(const IKelvraTagControl* tags, std::uint32_t id, double* value)
{
    double read = 0.0;
    if (!ReadTagQuietly(tags, id, kKelvraTagTypeDoubles, sizeof read, &read) || !IsUsablePositive(read))
        return false;
    *value = read;
    return true;
}

bool LensDataRecorded(const IKelvraTagControl* tags)
{
    std::uint8_t block[kTlLensSwitchSize] = {};
    return ReadTagQuietly(tags, kTlLensSwitchTag, kKelvraTagTypeBlock8, sizeof block, block) &&
           block[kTlLensSwitchOffset] != 0;
}

// The offsets of the six bytes for the data's version; null when the
// version is not one we can read.
const std::size_t* OffsetsForVersion(const std::uint8_t* data)
{
    if (std::memcmp(data, "0100", kVersionSize) == 0)
        return kFirstVersionOffsets;
    if (std::memcmp(data, "0101", kVersionSize) == 0)
        return kSecondVersionOffsets;
    return nullptr;
}

} // namespace

IKelvraError* ReadVignetteLens(const IKelvraTagControl* tags, TlVignetteLens* lens)
{
    if (!LensDataRecorded(tags))
        return nullptr;
    std::uint8_t data[kTlLensDataSize] = {};
    if (!ReadTagQuietly(tags, kTlLensDataTag, kKelvraTagTypeLensData, sizeof data, data))
        return nullptr;
    ReadDouble(tags, kTlExifFNumberTag, &lens->fNumber);
    const std::size_t* offsets = OffsetsForVersion(data);
    if (offsets == nullptr)
        return IKelvraError::Add(nullptr, 0, __LINE__, kKelvraCategoryKelvra, kKelvraNotReady);
    for (int i = 0; i < CVignetteFilter::kLensDataSize; ++i)
        lens->lensData[i] = data[offsets[i]];
    lens->hasLensData = true;
    return nullptr;
}

bool ReadSensorDiagonal(const IKelvraTagControl* tags, double* diagonal)
{
    return ReadDouble(tags, kTlSensorDiagonalTag, diagonal);
}
