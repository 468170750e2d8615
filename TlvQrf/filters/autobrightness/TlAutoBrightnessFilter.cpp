#include "filters/autobrightness/TlAutoBrightnessFilter.h"

#include "filters/autobrightness/TlLevelsFromHistogram.h"
#include "filtrix/KelvraFilterHistogram.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long kMaximumLevel = 65535;
constexpr long kMaximumGain = 512;

bool IsChannel(long channel)
{
    return channel >= 0 && channel < CAutoBrightnessFilter::kChannels;
}

// Channel 0's level combined with each later one up to the first unset one.
template <typename Pick>
long CombineLevels(const std::int32_t (&levels)[CAutoBrightnessFilter::kChannels], Pick pick)
{
    long combined = levels[0];
    for (int channel = 1; channel < CAutoBrightnessFilter::kChannels && levels[channel] >= 0; ++channel)
        combined = pick(combined, long(levels[channel]));
    return combined;
}

long LevelOf(const std::int32_t (&levels)[CAutoBrightnessFilter::kChannels], long channel,
             long (*pick)(long, long))
{
    if (channel == CAutoBrightnessFilter::kAllChannels)
        return CombineLevels(levels, pick);
    return IsChannel(channel) ? long(levels[channel]) : long(CAutoBrightnessFilter::kUnset);
}

long Smaller(long a, long b)
{
    return std::min(a, b);
}

long Larger(long a, long b)
{
    return std::max(a, b);
}

} // namespace

CAutoBrightnessFilter::CAutoBrightnessFilter(IKelvraManager* manager) : CTlFilter(manager, 1)
{
    ForgetLevels();
    m_bypass = true;
}

const char* CAutoBrightnessFilter::GetFilterName() const
{
    return "Auto Brightness";
}

void CAutoBrightnessFilter::ForgetLevels()
{
    std::fill(std::begin(m_low), std::end(m_low), kUnset);
    std::fill(std::begin(m_high), std::end(m_high), kUnset);
}

IKelvraError* CAutoBrightnessFilter::SetLevels(int channel, int low, int high, bool notify)
{
    if (channel != kAllChannels && !IsChannel(channel))
        return TL_FILTER_ERROR(kKelvraBadArgument);
    const int first = channel == kAllChannels ? 0 : channel;
    const int last = channel == kAllChannels ? kChannels - 1 : channel;
    for (int c = first; c <= last; ++c) {
        m_low[c] = low;
        m_high[c] = high;
    }
    // Levels that nothing applies leave the output as it is.
    if (!LevelsInUse())
        return nullptr;
    m_stale = true;
    m_bypass = false;
    return AnnounceLevels(notify);
}

long CAutoBrightnessFilter::GetLowLevel(long channel)
{
    return LevelOf(m_low, channel, Smaller);
}

long CAutoBrightnessFilter::GetHighLevel(long channel)
{
    return LevelOf(m_high, channel, Larger);
}

long CAutoBrightnessFilter::GetAutoGain()
{
    const long high = GetHighLevel(kAllChannels);
    const long low = m_useBlackLevel ? GetLowLevel(kAllChannels) : 0;
    // Unset levels, or a range the logarithm cannot take: no gain.
    if (high < 0 || low < 0 || high <= low || low >= kMaximumLevel)
        return 0;
    const double ratio = double(high - low) / double(kMaximumLevel - low);
    const double gain = 0.5 - 256.0 * std::log2(ratio);
    return gain >= double(kMaximumGain) ? kMaximumGain : long(gain);
}

IKelvraError* CAutoBrightnessFilter::SetUseBlackLevel(bool use, bool notify)
{
    return ApplySetting(m_useBlackLevel, use, notify, [this] {
        m_bypass = !m_applyLevels && m_exposureCompensation == 0 && !m_useBlackLevel;
    });
}

IKelvraError* CAutoBrightnessFilter::SetExposureCompensation(int compensation, bool notify)
{
    if (m_exposureCompensation == compensation)
        return nullptr;
    m_exposureCompensation = compensation;
    // Applied white levels leave the compensation out of the output.
    if (m_applyLevels)
        return nullptr;
    m_stale = true;
    m_bypass = m_exposureCompensation == 0 && !m_useBlackLevel;
    return NotifyChanged(notify);
}

IKelvraError* CAutoBrightnessFilter::SetHistogram(CKelvraFilterHistogram* histogram, bool notify)
{
    if (m_histogram == histogram)
        return nullptr;
    if (m_histogram != nullptr)
        ForgetLevels();
    m_stale = true;
    m_bypass = true;
    m_histogram = histogram;
    return UpdateLevelsFromHistogram(notify);
}

IKelvraError* CAutoBrightnessFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    IKelvraError* levelsError = nullptr;
    if (code == kKelvraNotifyHistogramDone && m_histogram != nullptr &&
        source == static_cast<IKelvraDataSource*>(m_histogram))
        levelsError = UpdateLevelsFromHistogram(false);
    // The notice goes on downstream whether or not the levels could be read.
    IKelvraError* forwardError = CTlFilter::KelvraNotify(source, code, data);
    if (levelsError == nullptr)
        return forwardError;
    return forwardError == nullptr ? levelsError : AddWorker(levelsError, __LINE__, forwardError);
}

IKelvraError* CAutoBrightnessFilter::UpdateLevelsFromHistogram(bool notify)
{
    if (m_histogram == nullptr || !m_histogram->IsComplete())
        return nullptr;
    const long bits = m_histogram->GetNativeBits();
    long width = 0;
    long height = 0;
    if (IKelvraError* error = m_histogram->GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = m_histogram->GetColorSpace(&format))
        return TL_FILTER_WRAP(error);
    // Grey data has its only plane in channel 0; otherwise channel 0 counts
    // all planes together and the planes follow from channel 1.
    const long firstChannel = (format & 0x1FFFF) == 1 ? 0 : 1;
    const std::uint64_t clipped = std::uint64_t(std::max(width, 0L)) * std::uint64_t(std::max(height, 0L)) / 200;

    for (int channel = 0; channel < kChannels; ++channel) {
        const auto counts = m_histogram->ReadHistogram(firstChannel + channel);
        if (counts == nullptr) {
            // This channel and every later one stay unset.
            std::fill(m_low + channel, std::end(m_low), kUnset);
            std::fill(m_high + channel, std::end(m_high), kUnset);
            break;
        }
        const TlChannelLevels levels = TlLevelsFromHistogram(*counts, bits, clipped);
        m_low[channel] = levels.low;
        m_high[channel] = levels.high;
    }
    if (IKelvraError* error = NotifyWatchers(kLevelsFound, nullptr))
        return TL_FILTER_WRAP(error);
    if (!LevelsInUse() || !WillNotify(notify))
        return nullptr;
    m_stale = true;
    m_bypass = false;
    return NotifyChanged(notify);
}

IKelvraError* CAutoBrightnessFilter::AnnounceLevels(bool notify)
{
    if (!WillNotify(notify))
        return nullptr;
    if (IKelvraError* error = NotifyWatchers(kLevelsFound, nullptr))
        return TL_FILTER_WRAP(error);
    return NotifyChanged(notify);
}
