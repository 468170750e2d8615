#include "params/TlUsmRangeBand.h"

#include "filtrix/UnsharpMaskFilter.h"

namespace {

constexpr double kStep = 1.0 / 72.0;
constexpr double kSoftness = 1.0 / 12.0;

// Bands 1 to 6; each starts and ends on a 72nd of the circle.
constexpr struct {
    int start;
    int end;
} kBands[] = {{1, 13}, {25, 37}, {49, 61}, {13, 25}, {61, 1}, {37, 49}};
constexpr int kBandCount = int(sizeof kBands / sizeof kBands[0]);

UsmBand BandRange(int band)
{
    if (band < 1 || band > kBandCount)
        return UsmBand(); // the whole circle, without softness
    UsmBand range;
    range.start = kBands[band - 1].start * kStep;
    range.startSoftness = kSoftness;
    range.end = kBands[band - 1].end * kStep;
    range.endSoftness = kSoftness;
    return range;
}

} // namespace

bool SetUsmRangeBand(CUnsharpMaskFilter* filter, int band)
{
    if (!filter)
        return false;
    const UsmBand wanted = BandRange(band);
    UsmBand current;
    IKelvraError* error = filter->GetRange(&current.start, &current.startSoftness, &current.end, &current.endSoftness);
    if (error)
        IKelvraError::Release(error); // then set it whatever it was
    else if (current == wanted)
        return false;
    error = filter->SetRange(wanted.start, wanted.startSoftness, wanted.end, wanted.endSoftness, false);
    if (!error)
        return true;
    IKelvraError::Release(error);
    return false;
}
