// Evaluation of a tone curve into a table: input levels, the curve with its
// midtone gamma, contrast (master only) and brightness, output levels, then
// the same again through the master for a channel, with the sample table
// before the curve or after everything.
#include "settings/curves/TlLut.h"

#include "settings/curves/TlCurveElements.h"
#include "settings/curves/TlLutCurve.h"
#include "settings/curves/TlLutGroup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The sample table at v·(n − 1), linear between entries; positions outside
// the table are taken at its ends.
double SampleAt(const std::vector<double>& samples, double v)
{
    const double top = static_cast<double>(samples.size() - 1);
    double position = v * top;
    if (!(position > 0.0))
        position = 0.0;
    if (position > top)
        position = top;
    const auto index = static_cast<std::size_t>(position);
    const double fraction = position - static_cast<double>(index);
    if (fraction == 0.0 || index + 1 >= samples.size())
        return samples[index];
    return samples[index] + fraction * (samples[index + 1] - samples[index]);
}

// (z − 0.5)·factor + 0.5, kept between 0.1·z and 0.1·z + 0.9.
double ApplyContrast(double z, double factor)
{
    const double floor = 0.1 * z;
    return std::clamp((z - 0.5) * factor + 0.5, floor, floor + 0.9);
}

double ApplyBrightness(double z, double brightness)
{
    if (brightness == 0.0)
        return z;
    // A spline may dip below 0; a negative base has no real power.
    return std::pow(std::max(z, 0.0), std::exp2(-brightness));
}

// Levels, curve, contrast, brightness, limit and output levels of one block.
double EvaluateBlock(const TlLutParams& block, CTlLutCurveWalker& curve, double z, int flags, bool contrast,
                     double contrastFactor)
{
    const double t = (flags & kTlLutInputLevels) != 0 ? TlLutLevelPosition(z, block.black, block.white) : z;
    z = curve.ValueAt(t);
    if ((flags & kTlLutContrast) != 0) {
        if (contrast)
            z = ApplyContrast(z, contrastFactor);
        z = ApplyBrightness(z, block.brightness);
    }
    z = TlLimitUnit(z);
    if ((flags & kTlLutOutputLevels) != 0)
        z = block.outputLow + z * (block.outputHigh - block.outputLow);
    return z;
}

template <typename T>
void Store(void* table, int index, T value)
{
    std::memcpy(static_cast<unsigned char*>(table) + static_cast<std::size_t>(index) * sizeof(T), &value,
                sizeof(T));
}

// trunc(z·(levels − 1) + 0.5), kept within the entry's range.
template <typename T>
T Quantise(double z, int levels)
{
    const double scaled = z * (static_cast<double>(levels) - 1.0) + 0.5;
    if (!(scaled > 0.0))
        return 0;
    if (scaled >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(scaled);
}

void WriteEntry(void* table, int bytesPerEntry, int index, double z, int levels)
{
    switch (bytesPerEntry) {
    case 1:
        Store(table, index, Quantise<std::uint8_t>(z, levels));
        break;
    case 2:
        Store(table, index, Quantise<std::uint16_t>(z, levels));
        break;
    case 4:
        Store(table, index, Quantise<std::int32_t>(z, levels));
        break;
    case 8:
        Store(table, index, z);
        break;
    default:
        break;
    }
}

} // namespace

int CTlLut::Evaluate(void* table, int bytesPerEntry, int count, int levels, double start, double end, int flags,
                     double power)
{
    const bool snapshot = (flags & kTlLutUseSnapshot) != 0;
    CTlLut* master = (flags & kTlLutThroughMaster) != 0 && m_elementId != kTlElementMaster
                         ? TlMasterLutOf(m_owner)
                         : nullptr;
    if (master == this)
        master = nullptr;
    TlLutParams& own = snapshot ? m_snapshot : m_live;
    TlLutParams* masterBlock = master == nullptr ? nullptr : snapshot ? &master->m_snapshot : &master->m_live;
    double contrast = 0.0;
    if (m_owner != nullptr)
        contrast = snapshot ? m_owner->GetSnapshotContrast() : m_owner->GetContrast();
    const double contrastFactor = std::exp2(contrast);

    TlRefreshLutSlopes(own);
    if (masterBlock != nullptr)
        TlRefreshLutSlopes(*masterBlock);
    const bool usePoints = (flags & kTlLutCurve) != 0;
    const bool useGamma = (flags & kTlLutGamma) != 0;
    CTlLutCurveWalker ownCurve(own, usePoints, useGamma);
    CTlLutCurveWalker masterCurve(masterBlock != nullptr ? *masterBlock : own, usePoints, useGamma);
    const bool samples = (flags & kTlLutSamples) != 0 && !m_samples.empty();
    const bool samplesFirst = samples && m_sampleKind != 0;
    const bool samplesLast = samples && m_sampleKind == 0;
    const bool withPower = power > 0.0 && 1.0 / power != 1.0;

    if (table == nullptr)
        return count;
    const double steps = static_cast<double>(std::max(count - 1, 1));
    for (int k = 0; k < count; ++k) {
        const double p = start + (end - start) * static_cast<double>(k) / steps;
        double z = samplesFirst ? SampleAt(m_samples, p) : p;
        z = EvaluateBlock(own, ownCurve, z, flags, m_elementId == kTlElementMaster, contrastFactor);
        if (masterBlock != nullptr)
            z = EvaluateBlock(*masterBlock, masterCurve, z, flags, true, contrastFactor);
        if (samplesLast)
            z = SampleAt(m_samples, z);
        if (withPower)
            z = std::pow(std::max(z, 0.0), 1.0 / power);
        WriteEntry(table, bytesPerEntry, k, z, levels);
    }
    return count;
}
