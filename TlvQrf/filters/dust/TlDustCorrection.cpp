#include "filters/dust/TlDustCorrection.h"

#include <array>

namespace {

constexpr TlDustGain GainOf(int b)
{
    if (b == 0)
        return TlDustGain{0, 0, 65535};
    // m = floor((128 / b - 1) * 2^s) = floor((128 - b) * 2^s / b), with the
    // smallest s that brings m to 32768 or more.
    std::uint8_t shift = 0;
    std::uint64_t m = std::uint64_t(128 - b) / std::uint64_t(b);
    while (m < 32768) {
        ++shift;
        m = (std::uint64_t(128 - b) << shift) / std::uint64_t(b);
    }
    return TlDustGain{shift, 0, std::uint16_t(m)};
}

constexpr std::array<TlDustGain, kDustGainEntries> MakeGainTable()
{
    std::array<TlDustGain, kDustGainEntries> table{};
    for (int b = 0; b < kDustGainEntries; ++b)
        table[std::size_t(b)] = GainOf(b);
    return table;
}

constexpr std::array<TlDustGain, kDustGainEntries> kGainTable = MakeGainTable();

static_assert(kGainTable[1].shift == 9 && kGainTable[1].multiplier == 65024, "gain of 128");
static_assert(kGainTable[64].shift == 15 && kGainTable[64].multiplier == 32768, "gain of 2");

template <typename Sample>
constexpr std::uint32_t kMaxOf = sizeof(Sample) == 1 ? 255u : 65535u;

inline std::uint32_t Brighten(std::uint32_t v, const TlDustGain& gain, std::uint32_t max)
{
    const std::uint64_t u = v + ((std::uint64_t(v) * gain.multiplier) >> gain.shift);
    return u > max ? max : std::uint32_t(u);
}

struct Direct {
    template <typename Sample>
    static Sample Apply(Sample v, const TlDustGain& gain, const TlDustTones&)
    {
        return Sample(Brighten(v, gain, kMaxOf<Sample>));
    }
};

// Brightened in linear light; an 8-bit pixel keeps the low byte of the
// inverse entry.
struct ThroughTones {
    template <typename Sample>
    static Sample Apply(Sample v, const TlDustGain& gain, const TlDustTones& tones)
    {
        return Sample(tones.inverse[Brighten(tones.forward[v], gain, 65535)]);
    }
};

template <typename Sample, int Channels, typename Mode>
void CorrectRow(long count, const std::uint8_t* mask, const TlDustTones& tones, const void* source,
                void* destination)
{
    const Sample* in = static_cast<const Sample*>(source);
    Sample* out = static_cast<Sample*>(destination);
    for (long i = count - 1; i >= 0; --i) {
        const Sample* pin = in + i * Channels;
        Sample* pout = out + i * Channels;
        const unsigned b = mask[i];
        if (b >= kDustUntouched) {
            for (int c = 0; c < Channels; ++c)
                pout[c] = pin[c];
            continue;
        }
        const TlDustGain& gain = kGainTable[b];
        for (int c = 0; c < Channels; ++c)
            pout[c] = Mode::Apply(pin[c], gain, tones);
    }
}

} // namespace

const TlDustGain* GetDustGainTable()
{
    return kGainTable.data();
}

TlDustRowRoutine ChooseDustRowRoutine(KelvraPixelFormat format, bool direct)
{
    const unsigned bits = KelvraBitsPerSample(format);
    const unsigned channels = (format >> 17) & 0x7F;
    if ((bits != 8 && bits != 16) || (channels != 1 && channels != 3))
        return nullptr;
    const bool wide = bits == 16;
    const bool grey = channels == 1;
    if (wide) {
        if (direct)
            return grey ? &CorrectRow<std::uint16_t, 1, Direct> : &CorrectRow<std::uint16_t, 3, Direct>;
        return grey ? &CorrectRow<std::uint16_t, 1, ThroughTones> : &CorrectRow<std::uint16_t, 3, ThroughTones>;
    }
    if (direct)
        return grey ? &CorrectRow<std::uint8_t, 1, Direct> : &CorrectRow<std::uint8_t, 3, Direct>;
    return grey ? &CorrectRow<std::uint8_t, 1, ThroughTones> : &CorrectRow<std::uint8_t, 3, ThroughTones>;
}
