// The reads of the index, gains, tone-rule, brightness and preset tables.
#include "camera/TlWhiteBalanceRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

template <typename T>
T Bounded(T value, T low, T high)
{
    return std::min(std::max(value, low), high);
}

int ToneColumn(const TlCameraProfileParams& params)
{
    if (params.tone == kTlCustomTone)
        return (params.cameraKind == kTlCameraKX8A || params.cameraKind == kTlCameraKX5) ? 3 : 2;
    return Bounded(params.tone, 0, kTlToneCount - 1);
}

int GroupOf(TlMatrixSet set, std::int32_t colourMode)
{
    if (set == TlMatrixSet::B)
        return colourMode == 5 ? 1 : colourMode == 6 ? 2 : 0;
    return colourMode == 3 ? 1 : colourMode == 4 ? 2 : 0;
}

bool HasOwnGainTable(std::int32_t kind)
{
    return kind == kTlCameraKX6 || kind == kTlCameraKX8A || kind == kTlCameraKX5;
}

const std::uint8_t (*GainTable(const TlCameraTables& tables, std::int32_t kind))[6]
{
    const int which = kind == kTlCameraKX6 ? 1 : kind == kTlCameraKX8A ? 2 : kind == kTlCameraKX5 ? 3 : 0;
    return tables.gains[which];
}

// The gain's row: the reference row moved by the gain's distance from 1.0,
// held inside the table (a gain that is not a number reads the reference).
int GainRow(double gain, std::int32_t kind)
{
    const double scale = HasOwnGainTable(kind) ? 85.03401360544218 : 100.0;
    const double steps = (gain - 1.0) * scale;
    if (!(steps == steps))
        return kTlGainReference;
    const double row = kTlGainReference + std::trunc(Bounded(steps, -1.0e6, 1.0e6));
    return int(Bounded(row, 0.0, double(kTlGainRows - 1)));
}

std::int32_t Entry(std::uint8_t value)
{
    return value == 255 ? 0 : value;
}

int BrightnessBucket(double brightness)
{
    if (brightness < 2)
        return 0;
    if (brightness < 4)
        return 1;
    if (brightness < 7)
        return 2;
    if (brightness < 9)
        return 3;
    return 4;
}

int IsoStep(std::uint16_t iso)
{
    if (iso < 200)
        return 0;
    const double step = std::log2(double(iso / 200)) * 0.30102999566398119523 * 3.3222591362126246;
    return std::min(int(step), 4);
}

int ValueBucket(std::int32_t value)
{
    static const std::int32_t limits[] = {25, 37, 53, 75, 97, 116, 143};
    int bucket = 0;
    while (bucket < 7 && value > limits[bucket])
        ++bucket;
    return bucket;
}

} // namespace

std::uint32_t TlIndexFromTable(const TlCameraTables& tables, TlMatrixSet set, const TlCameraProfileParams& params,
                               int column)
{
    const int group = GroupOf(set, params.colourMode);
    const int tone = ToneColumn(params);
    column = Bounded(column, 0, kTlIndexColumns - 1);
    switch (set) {
    case TlMatrixSet::A: return 500u + tables.indexA[group][column][tone];
    case TlMatrixSet::B: return 700u + tables.indexB[group][column][tone];
    default: return tables.indexC[group][column][tone];
    }
}

std::int32_t TlGainsToIndex(const TlCameraTables& tables, const TlCameraProfileParams& params, std::int32_t subMode)
{
    const auto* table = GainTable(tables, params.cameraKind);
    const int column = subMode == 0 ? 0 : subMode == 2 ? 2 : 4;
    const std::int32_t first = Entry(table[GainRow(params.gains[0], params.cameraKind)][column]);
    const std::int32_t second = Entry(table[GainRow(params.gains[1], params.cameraKind)][column + 1]);
    if (first == 0 && second == 0)
        return 84;
    if (first == 0 || second == 0)
        return first + second;
    return (first + second) / 2;
}

void TlGainsToIndexAndSubMode(const TlCameraTables& tables, const TlCameraProfileParams& params,
                              std::int32_t* index, std::int32_t* subMode)
{
    const auto* table = GainTable(tables, params.cameraKind);
    const std::uint8_t* firstRow = table[GainRow(params.gains[0], params.cameraKind)];
    const std::uint8_t* secondRow = table[GainRow(params.gains[1], params.cameraKind)];
    int best = -1;
    std::int32_t bestDifference = 10000;
    for (int pair = 0; pair < 3; ++pair) {
        const std::uint8_t a = firstRow[2 * pair], b = secondRow[2 * pair + 1];
        const std::int32_t difference = (a == 0 || a == 255 || b == 0 || b == 255) ? 10000 : std::abs(a - b);
        if (difference < bestDifference) {
            bestDifference = difference;
            best = pair;
        }
    }
    if (best < 0) {
        *index = 90;
        *subMode = 0;
        return;
    }
    *index = (firstRow[2 * best] + secondRow[2 * best + 1]) / 2;
    *subMode = best == 2 ? 1 : best == 1 ? 2 : 0;
}

std::uint32_t TlToneRuleIndex(const TlCameraTables& tables, const TlCameraProfileParams& params, std::int32_t value)
{
    const std::uint8_t b12 = params.colourBytes[0], b11 = params.colourBytes[1];
    const std::uint8_t b10 = params.colourBytes[2], b9 = params.colourBytes[3];
    const long row = b12 / 2 + 8L * (b11 / 4 + 16 * std::min<int>(b9, 5) + 96 * BrightnessBucket(params.brightness) +
                                     480 * IsoStep(params.iso) + 4 * std::min<int>(b10, 3));
    const std::uint16_t entry = tables.toneRule[Bounded(row, 0L, long(kTlToneRuleEntries - 1))];
    int rule = (entry >> 6) & 7;
    if (params.toneSource == 0 || params.toneSource == 1) {
        if (params.tone == 0)
            rule = 5;
        else if (params.tone == 2 || params.tone == kTlCustomTone)
            rule = 3;
        else if (params.tone == 6)
            rule = 0;
    }
    const long at = entry / 8192 + 32L * rule + 192L * ValueBucket(value) + 8L * ((entry >> 9) & 7);
    return tables.toneIndex[Bounded(at, 0L, long(kTlToneIndexEntries - 1))];
}

std::int32_t TlClampByBrightness(const TlCameraTables& tables, double brightness, std::int32_t subMode,
                                 std::int32_t value)
{
    const int row = subMode == 0 ? 0 : subMode == 2 ? 1 : subMode == 3 ? 2 : subMode == 4 ? 3 : -1;
    if (row < 0)
        return value;
    int position = 0;
    while (position < kTlBrightnessThresholds && !(tables.brightness[position] > brightness))
        ++position;
    const std::int32_t lower = tables.lowerBound[row][position], upper = tables.upperBound[row][position];
    if (value < lower)
        return lower;
    if (value > upper)
        return upper;
    return value;
}

void TlPresetTableEntry(const TlCameraTables& tables, const TlCameraProfileParams& params, std::int32_t* index,
                        std::int32_t* subMode)
{
    const int row = Bounded(params.presetWord - 1, 0, kTlPresetRows - 1);
    const int column = Bounded(params.fineTune + 3, 0, kTlPresetColumns - 1);
    *index = tables.presetIndex[row][column];
    *subMode = tables.presetSubMode[row][column];
}
