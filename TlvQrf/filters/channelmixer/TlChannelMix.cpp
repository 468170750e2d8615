#include "filters/channelmixer/TlChannelMix.h"

#include <limits>

namespace {

template <typename Sample>
Sample Truncated(double sum)
{
    constexpr double kLargest = double(std::numeric_limits<Sample>::max());
    return sum > kLargest ? std::numeric_limits<Sample>::max() : Sample(sum);
}

template <int Channels, typename Sample>
void MixPixels(const Sample* in, Sample* out, long pixels, const TlMixWeights& weights)
{
    const double* w = weights.weight;
    for (long i = 0; i < pixels; ++i, in += Channels, out += Channels) {
        double sum;
        if constexpr (Channels == 1)
            sum = in[0] * w[0];
        else if constexpr (Channels == 3)
            sum = in[0] * w[0] + in[2] * w[2] + in[1] * w[1];
        else
            sum = in[0] * w[0] + in[3] * w[3] + in[1] * w[1] + in[2] * w[2];
        const Sample mixed = Truncated<Sample>(sum);
        for (int c = 0; c < Channels; ++c)
            out[c] = mixed;
    }
}

template <typename Sample>
void MixRow(const Sample* in, Sample* out, long pixels, int channels, const TlMixWeights& weights)
{
    switch (channels) {
    case 1:
        MixPixels<1>(in, out, pixels, weights);
        break;
    case 3:
        MixPixels<3>(in, out, pixels, weights);
        break;
    case 4:
        MixPixels<4>(in, out, pixels, weights);
        break;
    default:
        break;
    }
}

} // namespace

void TlMixRow(const std::uint8_t* in, std::uint8_t* out, long pixels, int channels, const TlMixWeights& weights)
{
    MixRow(in, out, pixels, channels, weights);
}

void TlMixRow(const std::uint16_t* in, std::uint16_t* out, long pixels, int channels, const TlMixWeights& weights)
{
    MixRow(in, out, pixels, channels, weights);
}
