// The index byte tables, gain tables, brightness bounds, tone-rule tables
// and preset table of the synthetic camera. Every index they hold names a
// row whose light fits the column, the gains or the preset.
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeCameraTables/TlCameraTablesModel.h"

#include "camera/TlCameraSetUp.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint8_t IndexByte(double value)
{
    return std::uint8_t(std::min(std::max(std::lround(value), 1L), 254L));
}

// Sets A and B: column to run (-1: the 3300 K rows of the last group).
void FillSetIndex(std::uint8_t (&table)[kTlIndexGroups][kTlIndexColumns][kTlToneCount])
{
    static const int runOfColumn[kTlIndexColumns] = {5, 0, 1, 2, 2, 3, 3, 4};
    for (int g = 0; g < kTlIndexGroups; ++g)
        for (int c = 0; c < kTlIndexColumns; ++c)
            for (int t = 0; t < kTlToneCount; ++t) {
                const int run = runOfColumn[c];
                const bool noRun = g == 2 && run == 5;
                table[g][c][t] = std::uint8_t(noRun ? t : TlSetRunRow(g, run) + t);
            }
}

void FillSetCIndex(std::uint8_t (&table)[kTlIndexGroups][kTlIndexColumns][kTlToneCount])
{
    // Colour modes other than 4: the runs of the group's block of 42.
    static const int runOfColumn[kTlIndexColumns] = {0, 1, 2, 3, 3, 4, 4, 5};
    // Colour mode 4: kelvin columns 0 to 5, flash, lamp 1.
    static const int modeFour[kTlIndexColumns] = {0, 6, 36, 66, 120, 150, 84, 91};
    for (int c = 0; c < kTlIndexColumns; ++c)
        for (int t = 0; t < kTlToneCount; ++t) {
            for (int g = 0; g < 2; ++g)
                table[g][c][t] = std::uint8_t(42 * g + 7 * runOfColumn[c] + t);
            table[2][c][t] = std::uint8_t(modeFour[c] + (c >= 6 ? t : std::min(t, 5)));
        }
}

void FillGains(TlCameraTables& t)
{
    for (int k = 0; k < kTlGainTables; ++k) {
        const double scale = k == 0 ? 100.0 : 85.03401360544218;
        const TlSyntheticCamera& camera = TlSyntheticCameraOf(k);
        for (int row = 0; row < kTlGainRows; ++row) {
            const double gain = 1.0 + (row - kTlGainReference) / scale;
            for (int pair = 0; pair < 3; ++pair) {
                // Pairs 1 and 2 (lamps) are the daylight pair moved apart.
                const double shift = pair == 0 ? 1.0 : pair == 1 ? 0.9 : 1.1;
                std::uint8_t* entry = t.gains[k][row] + 2 * pair;
                if (gain <= 0.05) {
                    entry[0] = entry[1] = 255;
                    continue;
                }
                const double redKelvin = 5000 * std::pow(gain / (camera.red5000 * shift), 1 / camera.exponent);
                const double blueKelvin = 5000 * std::pow(camera.blue5000 * shift / gain, 1 / camera.exponent);
                entry[0] = IndexByte(KelvinToIndex(std::int32_t(std::min(redKelvin, 1e6))));
                entry[1] = IndexByte(KelvinToIndex(std::int32_t(std::min(blueKelvin, 1e6))));
            }
        }
    }
}

void FillBrightness(TlCameraTables& t)
{
    for (int i = 0; i < kTlBrightnessThresholds; ++i)
        t.brightness[i] = -2.0 + 0.5 * i;
    for (int s = 0; s < kTlClampSubModes; ++s)
        for (int i = 0; i <= kTlBrightnessThresholds; ++i) {
            t.lowerBound[s][i] = std::uint8_t(10 + i / 2 + 5 * s);
            t.upperBound[s][i] = std::uint8_t(150 - i / 4 - 5 * s);
        }
}

// Tone-rule entries keep their rule (bits 6 to 8) at most 5 and their bits
// 9 to 11 at most 3, so that the second table's positions name the value
// bucket and the rule without overlap: position = bucket x 192 + rule x 32
// + the rest.
void FillToneRules(TlCameraTables& t)
{
    for (int row = 0; row < kTlToneRuleEntries; ++row) {
        const int rule = row % 6, rest = (row / 6) % 4, high = (row / 24) % 8;
        t.toneRule[row] = std::uint16_t(high << 13 | rest << 9 | rule << 6 | (row & 0x3F));
    }
    // Buckets of the index value: from the bluest light to the reddest.
    static const int bucketRow[8] = {150, 150, 120, 120, 66, 36, 6, 0};
    for (int at = 0; at < kTlToneIndexEntries; ++at) {
        const int bucket = std::min(at / 192, 7), rule = std::min((at % 192) / 32, 5);
        t.toneIndex[at] = std::uint8_t(bucketRow[bucket] + rule);
    }
}

void FillPresets(TlCameraTables& t)
{
    static const TlLight presets[kTlPresetRows] = {{3000, 0}, {4200, 1}, {5200, 0}, {5400, 3}, {6000, 0}, {8000, 0}};
    for (int p = 0; p < kTlPresetRows; ++p)
        for (int f = 0; f < kTlPresetColumns; ++f) {
            t.presetIndex[p][f] = IndexByte(KelvinToIndex(std::int32_t(presets[p].kelvin)) + 4 * (f - 3));
            t.presetSubMode[p][f] = std::uint8_t(presets[p].subMode);
        }
}

} // namespace

int TlSetRunRow(int group, int run)
{
    return 7 + 42 * group + 7 * run;
}

void TlFillIndexTables(TlCameraTables& t)
{
    FillSetIndex(t.indexA);
    FillSetIndex(t.indexB);
    FillSetCIndex(t.indexC);
    FillGains(t);
    FillBrightness(t);
    FillToneRules(t);
    FillPresets(t);
}
