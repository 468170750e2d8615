#include "params/TlSensorCrop.h"

#include <algorithm>
#include <limits>

namespace {

struct SCrop {
    std::uint16_t modelCode;
    long left, top, width, height;
};

constexpr SCrop kCrops[] = {
    {260, 9, 3, 2473, 1635},
    {1025, 7, 6, 3015, 2006},
    {1026, 9, 1, 3017, 2001},
};

long Fitted(std::uint32_t size)
{
    return static_cast<long>(std::min<std::uint32_t>(size, std::numeric_limits<long>::max()));
}

} // namespace

KelvraRect SensorCrop(std::uint16_t modelCode, std::uint32_t sensorWidth, std::uint32_t sensorHeight, long divisor)
{
    SCrop crop{modelCode, 0, 0, Fitted(sensorWidth), Fitted(sensorHeight)};
    for (const SCrop& known : kCrops) {
        if (known.modelCode == modelCode)
            crop = known;
    }
    const long d = std::max(divisor, 1L);
    const long left = crop.left / d;
    const long top = crop.top / d;
    return KelvraRect(left, top, left + crop.width / d, top + crop.height / d);
}
