// The chroma rule that the LCH editor and the chroma booster share. A change
// in whole percent (-100..+100), weighted by the pixel's lightness ratio,
// becomes a factor from 1/4 through 1 to 4 on a tangent curve. Lowering
// always applies; raising leaves chroma at or below the hue's threshold
// alone and eases in above it.
#pragma once

#include <cstdint>

// The largest change in either direction, in percent.
constexpr int kTlMaxChromaChange = 100;

// The factor of a change of `percent` (already weighted by lightness).
double TlChromaFactor(int percent);

// The whole-percent part of `change` weighted by `ratio`, rounded down.
inline int TlWeightedChange(int change, double ratio)
{
    const double weighted = change * ratio;
    const int whole = int(weighted);
    return weighted < whole ? whole - 1 : whole;
}

// Chroma `c` scaled by `factor` under threshold `threshold`, below `levels`.
inline unsigned TlScaleChroma(double factor, unsigned c, unsigned threshold, unsigned levels)
{
    if (factor == 1.0)
        return c;
    if (factor < 1.0)
        return unsigned(factor * c);
    if (c <= threshold)
        return c;
    const double eased = threshold + 1.25 * factor * (c - threshold);
    double raised = factor * c;
    if (eased < raised)
        raised = eased;
    const double top = levels - 1;
    return unsigned(raised < top ? raised : top);
}

// The rule over one run of pixels: the factors of every whole-percent change
// are worked out once, so that no pixel computes a tangent. Read-only once
// made; each tile makes its own.
class CTlChromaRule {
public:
    // `ratios` from GetLightnessRatioTable; `thresholds` null or `levels`
    // entries indexed by hue.
    CTlChromaRule(const double* ratios, const std::uint16_t* thresholds, unsigned levels);

    unsigned operator()(unsigned lightness, unsigned chroma, unsigned hue, int change) const
    {
        const int percent = TlWeightedChange(change, m_ratios[lightness]);
        if (percent == 0)
            return chroma;
        const unsigned threshold = m_thresholds ? m_thresholds[hue] : 0;
        return TlScaleChroma(m_factors[percent + kTlMaxChromaChange], chroma, threshold, m_levels);
    }

private:
    const double* m_ratios;
    const std::uint16_t* m_thresholds;
    unsigned m_levels;
    double m_factors[2 * kTlMaxChromaChange + 1];
};
