#include "filters/autobrightness/TlLevelsFromHistogram.h"

namespace {

constexpr double kBlackTarget = 328.0;
constexpr double kSpan = 64879.0; // 65207 - 328
constexpr double kWhiteTarget = 65207.0;
constexpr std::int32_t kTopLevel = 65535;

// The first bin from the bottom where the running count reaches `clipped`;
// the top bin when it never does.
std::size_t BlackBin(const std::vector<std::uint32_t>& counts, std::size_t top, std::uint64_t clipped)
{
    std::uint64_t sum = 0;
    for (std::size_t bin = 0; bin < top; ++bin) {
        sum += counts[bin];
        if (sum >= clipped)
            return bin;
    }
    return top;
}

// The same from the top down, never below bin 1.
std::size_t WhiteBin(const std::vector<std::uint32_t>& counts, std::size_t top, std::uint64_t clipped)
{
    std::uint64_t sum = 0;
    for (std::size_t bin = top; bin > 1; --bin) {
        sum += counts[bin];
        if (sum >= clipped)
            return bin;
    }
    return 1;
}

} // namespace

TlChannelLevels TlLevelsFromHistogram(const std::vector<std::uint32_t>& counts, long bits, std::uint64_t clipped)
{
    const TlChannelLevels identity{0, kTopLevel};
    if (bits < 1 || bits > 16 || counts.size() < (std::size_t(1) << bits))
        return identity;
    const std::size_t top = (std::size_t(1) << bits) - 1;
    const double scale = bits >= 8 ? double(257 >> (bits - 8)) : double(257 << (8 - bits));
    const std::size_t black = BlackBin(counts, top, clipped);
    const std::size_t white = top < 2 ? top : WhiteBin(counts, top, clipped);
    const double range = scale * (double(white) - double(black));
    if (range == 0.0)
        return identity;
    const double low = double(white) * scale - kWhiteTarget * range / kSpan;
    const double high = double(white) * scale + kBlackTarget * range / kSpan;
    TlChannelLevels levels;
    levels.low = low > 0.0 ? std::int32_t(low) : 0;
    levels.high = high > 65534.0 ? kTopLevel : std::int32_t(high);
    return levels;
}
