// The sample table that maps values before the curve or after everything
// else, normalised to 0..1 from the caller's levels.
#include "settings/curves/TlLut.h"

#include <cstring>
#include <new>

namespace {

enum { kSampleBytes = 1, kSampleWords = 2 };

double RawSample(const void* samples, int type, int index)
{
    const auto* bytes = static_cast<const unsigned char*>(samples);
    if (type == kSampleBytes)
        return bytes[index];
    std::uint16_t word = 0;
    std::memcpy(&word, bytes + static_cast<std::size_t>(index) * sizeof word, sizeof word);
    return word;
}

} // namespace

int CTlLut::SetSamples(const void* samples, int type, int count, int levels, std::uint8_t kind)
{
    std::vector<double>().swap(m_samples);
    if (samples == nullptr || count <= 1)
        return 0;
    // Other sample widths are unknown, and fewer than two levels cannot be
    // normalised: no table rather than a table of garbage.
    if ((type != kSampleBytes && type != kSampleWords) || levels < 2)
        return 0;
    try {
        m_samples.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        return 1;
    }
    const double top = static_cast<double>(levels) - 1.0;
    for (int i = 0; i < count; ++i)
        m_samples[static_cast<std::size_t>(i)] = RawSample(samples, type, i) / top;
    m_sampleKind = kind;
    return 0;
}
