#include "filters/autobrightness/TlBrightnessStretch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long kTop = 65535;
// Levels are kept a fifth of the range apart, and from the ends.
constexpr long kHighestBlack = 52428;
constexpr long kLowestWhite = 13107;
constexpr long kLevelGap = 13107;
// The exposure never brings the levels closer than a tenth of the range.
constexpr long kExposureGap = 6553;

struct Levels {
    long low;
    long high;
};

Levels ClampedLevels(long low, long high)
{
    if (low == -1 || high == -1)
        return {0, kTop};
    low = std::min(low, kHighestBlack);
    high = std::max(high, kLowestWhite);
    if (low + kLevelGap >= high)
        high = low + kLevelGap;
    return {low, high};
}

// A negative compensation raises the black level, a positive one lowers
// the white level; zero puts the white level at the top.
Levels Exposed(Levels levels, long exposure)
{
    const double range = double(kTop - levels.low);
    if (exposure < 0) {
        const long low = long(double(kTop) - std::exp2(double(exposure) / 256.0) * range + 0.5);
        levels.low = std::min(low, levels.high - kExposureGap);
    } else {
        const long high = long(std::exp2(-double(exposure) / 256.0) * range + double(levels.low) + 0.5);
        levels.high = std::max(high, levels.low + kExposureGap);
    }
    return levels;
}

} // namespace

CTlBrightnessStretch::CTlBrightnessStretch(const TlStretchSettings& settings)
{
    Levels levels = ClampedLevels(settings.low, settings.high);
    if (!settings.applyLevels)
        levels = Exposed(levels, settings.exposure);
    m_low = levels.low;
    m_high = levels.high;
    m_scale = m_low < m_high ? std::uint32_t(0xFFFF0000u / std::uint32_t(m_high - m_low)) : 0u;

    const long lo = m_low / 256;
    const long hi = m_high / 256;
    for (long x = 0; x < 256; ++x) {
        if (x < lo)
            m_table[x] = 0;
        else if (x < hi)
            m_table[x] = std::uint8_t((x - lo) * 255 / (hi - lo));
        else
            m_table[x] = 255;
    }
}
