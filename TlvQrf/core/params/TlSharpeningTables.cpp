#include "params/TlSharpeningTables.h"

namespace {

// Amount grows by about one a step while radius widens and threshold falls.
constexpr TlSharpeningPreset kPresets[kTlSharpeningPresets] = {
    {0, 0, 0},
    {1, 8, 5},   {2, 8, 5},   {3, 9, 5},
    {5, 9, 5},   {6, 9, 5},   {7, 9, 5},   {8, 9, 5},   {9, 10, 5},
    {10, 10, 4}, {11, 10, 4}, {12, 10, 4}, {13, 10, 4},
    {14, 11, 4}, {15, 11, 4}, {16, 11, 4}, {17, 11, 4}, {18, 11, 4}, {19, 11, 4},
    {20, 12, 4}, {21, 12, 4}, {22, 12, 4}, {23, 12, 4}, {24, 12, 4}, {25, 12, 4},
    {26, 13, 3}, {27, 13, 3}, {28, 13, 3}, {29, 13, 3}, {30, 13, 3}, {31, 13, 3}, {32, 13, 3},
    {33, 14, 3}, {33, 14, 3}, {34, 14, 3}, {35, 14, 3}, {36, 14, 3}, {37, 14, 3}, {38, 14, 3}, {38, 14, 3},
    {39, 14, 2}, {40, 14, 2},
    {41, 15, 2}, {42, 15, 2}, {42, 15, 2}, {43, 15, 2}, {44, 15, 2}, {45, 15, 2},
    {45, 15, 2}, {46, 15, 2}, {47, 15, 2}, {47, 15, 2}, {48, 15, 2}, {49, 15, 2},
    {49, 16, 2}, {50, 16, 2},
    {51, 16, 1}, {51, 16, 1}, {52, 16, 1}, {53, 16, 1}, {53, 16, 1}, {54, 16, 1}, {55, 16, 1}, {55, 16, 1},
};

constexpr int kFirstLevel = 2;
constexpr int kLevels = 5;

struct SensitivityRow {
    std::uint16_t below; // the row holds sensitivities under this
    std::uint8_t index[kLevels];
};

// Higher sensitivities get gentler presets, so that noise is not sharpened.
constexpr SensitivityRow kRows[] = {
    {400, {17, 29, 50, 23, 40}},
    {800, {16, 28, 48, 22, 38}},
    {1600, {16, 26, 45, 21, 36}},
    {3200, {12, 20, 35, 16, 28}},
    {6400, {8, 14, 25, 11, 18}},
};
constexpr std::uint8_t kTopRow[kLevels] = {3, 5, 9, 4, 7};

constexpr std::uint8_t kStepIndex[] = {40, 36, 32, 28, 24, 19, 15, 11, 7, 3};
constexpr int kSteps = int(sizeof kStepIndex);

} // namespace

TlSharpeningPreset SharpeningPreset(int index)
{
    return index >= 0 && index < kTlSharpeningPresets ? kPresets[index] : kPresets[0];
}

int SharpeningIndexForLevel(int level, std::uint16_t sensitivity)
{
    const int column = level - kFirstLevel;
    if (column < 0 || column >= kLevels)
        return 0;
    for (const SensitivityRow& row : kRows) {
        if (sensitivity < row.below)
            return row.index[column];
    }
    return kTopRow[column];
}

int SharpeningIndexForStep(int step)
{
    return step >= 0 && step < kSteps ? kStepIndex[step] : 0;
}
