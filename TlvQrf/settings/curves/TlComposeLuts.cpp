// Chains two integer tables into one: out(i) = second(first(i)), linearly
// interpolated at both stages and extrapolated from the last two entries at
// the top of each table.
#include "settings/curves/TlLut.h"

#include <cmath>
#include <cstring>

namespace {

enum { kByteTable = 1 };

struct STable {
    const void* data;
    int type;
    int count;
    int levels;

    double At(int index) const
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        if (type == kByteTable)
            return bytes[index];
        std::uint16_t word = 0;
        std::memcpy(&word, bytes + static_cast<std::size_t>(index) * sizeof word, sizeof word);
        return word;
    }

    // The table at a fractional index, limited to 0..count − 1.
    double Interpolate(double position) const
    {
        const double top = static_cast<double>(count - 1);
        if (!(position > 0.0))
            position = 0.0;
        if (position > top)
            position = top;
        const int index = static_cast<int>(position);
        const double fraction = position - index;
        const double low = At(index);
        // count >= 2, so index − 1 >= 0 at the top.
        const double high = index < count - 1 ? At(index + 1) : 2.0 * low - At(index - 1);
        return (1.0 - fraction) * low + fraction * high;
    }

    bool Usable() const { return data != nullptr && count >= 2 && levels >= 2; }
};

void Store(void* out, int type, int index, double value, int levels)
{
    double limited = std::floor(value);
    const double top = static_cast<double>(levels - 1);
    if (!(limited > 0.0))
        limited = 0.0;
    if (limited > top)
        limited = top;
    auto* bytes = static_cast<unsigned char*>(out);
    if (type == kByteTable) {
        bytes[index] = static_cast<unsigned char>(limited > 255.0 ? 255.0 : limited);
        return;
    }
    const auto word = static_cast<std::uint16_t>(limited > 65535.0 ? 65535.0 : limited);
    std::memcpy(bytes + static_cast<std::size_t>(index) * sizeof word, &word, sizeof word);
}

} // namespace

void ComposeLuts(const void* first, int firstType, int firstCount, int firstLevels, const void* second,
                 int secondType, int secondCount, int secondLevels, void* out, int outType, int outCount,
                 int outLevels)
{
    const STable a{first, firstType, firstCount, firstLevels};
    const STable b{second, secondType, secondCount, secondLevels};
    if (!a.Usable() || !b.Usable() || out == nullptr || outCount < 2 || outLevels < 1)
        return;
    const double firstTop = static_cast<double>(firstLevels - 1);
    const double secondTop = static_cast<double>(secondLevels - 1);
    const double outTop = static_cast<double>(outLevels - 1);
    for (int i = 0; i < outCount; ++i) {
        const double position = static_cast<double>(firstCount - 1) * i / (outCount - 1);
        const double value = a.Interpolate(position);
        const double result = b.Interpolate(static_cast<double>(secondCount - 1) * value / firstTop);
        Store(out, outType, i, outTop * result / secondTop, outLevels);
    }
}
