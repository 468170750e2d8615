#include "filters/dust/TlDustDevelop.h"

#include "filters/debayer/TlKeyedParams.h"
#include "filters/dust/TlDustCodes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {
constexpr std::uint32_t kUnitGain = 0x1000000;

KelvraRect DeliveredRect(std::uint32_t curveId, long width, long height)
{
    switch (curveId) {
    case 260:
        return KelvraRect(9, 3, 2473, 1635);
    case 1025:
        return KelvraRect(7, 6, 3015, 2006);
    case 1026:
        return KelvraRect(9, 1, 3017, 2001);
    default:
        return KelvraRect(0, 0, width - 12, height - 12);
    }
}

// Entry k: the gain times 257 k, at most 65535.
std::vector<std::uint16_t> GainTable(std::uint32_t gain)
{
    std::vector<std::uint16_t> table(256);
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = std::uint16_t(std::min<double>(double(gain) / kUnitGain * 257.0 * double(k), 65535.0));
    return table;
}

IKelvraError* Wrapped(long line, IKelvraError* inner)
{
    return IKelvraError::AddWorker(nullptr, kDustTag, line, inner);
}
} // namespace

IKelvraError* SetupDustDeBayer(CDeBayerHQFilter& filter, const TlDustShooting& shooting, long width, long height)
{
    const KelvraRect image(0, 0, width, height);
    const KelvraRect delivered = DeliveredRect(shooting.curveId, width, height);
    if (IKelvraError* error = filter.SetPixelAspectMode(false, &image, false))
        return Wrapped(__LINE__, error);
    if (IKelvraError* error = filter.SetSourceRect(delivered, &image, false))
        return Wrapped(__LINE__, error);
    const std::uint32_t codes = shooting.cfaCodes;
    const std::uint8_t pattern[8] = {0, 2, 0, 2, std::uint8_t(codes >> 24), std::uint8_t(codes >> 16),
                                     std::uint8_t(codes >> 8), std::uint8_t(codes)};
    if (IKelvraError* error = filter.SetPixelMap(pattern, sizeof pattern, false))
        return Wrapped(__LINE__, error);
    CTlKeyedParams tuning;
    if (shooting.curveId == 259)
        tuning.SelectB(shooting.sensitivity);
    else
        tuning.SelectA(shooting.sensitivity);
    if (IKelvraError* error = filter.SetTuning(tuning.Values()))
        return Wrapped(__LINE__, error);
    if (shooting.gains[0] == kUnitGain && shooting.gains[1] == kUnitGain)
        return nullptr;
    const std::vector<std::uint16_t> red = GainTable(shooting.gains[0]);
    const std::vector<std::uint16_t> blue = GainTable(shooting.gains[1]);
    if (IKelvraError* error = filter.SetChannelLuts(8, 16, shooting.gains[0] == kUnitGain ? nullptr : red.data(),
                                                    nullptr, shooting.gains[1] == kUnitGain ? nullptr : blue.data(),
                                                    false))
        return Wrapped(__LINE__, error);
    return nullptr;
}
