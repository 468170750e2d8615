#include "params/TlDevelopToneCurve.h"

#include "params/TlLutTable.h"
#include "params/TlvParamSet.h"

#include "kelvra/KelvraError.h"
#include "raw/TlQuietTagReads.h"
#include "raw/TlToneTables.h"
#include "settings/curves/TlLut.h"

#include <cmath>
#include <cstring>

namespace {

constexpr KelvraTag kToneCurveTag = KelvraFourCC('T', 'C', 'r', 'v');
constexpr int kFullRange = 65536;
constexpr int kWordEntry = 2;
constexpr int kSrgbLinearEnd = 198;

int CurveIndexOfToneMode(int toneMode)
{
    switch (toneMode) {
    case 2: return 1;
    case 3: return 2;
    case 4: return 16;
    case 5: return 5;
    case 6: return 6;
    default: return 0;
    }
}

IKelvraError* OutOfMemory(long line)
{
    return IKelvraError::Add(nullptr, kToneCurveTag, line, kKelvraCategoryKelvra, kKelvraOutOfMemory);
}

// Each channel becomes curve(channel), through a copy of itself.
void ComposeChannels(STlLutTables& channels, std::uint16_t* work, const std::uint16_t* curve, int curveEntries)
{
    for (TlLutTable& channel : channels.channel) {
        std::memcpy(work, channel.get(), kTlvDevelopEntries * sizeof(std::uint16_t));
        ComposeLuts(work, kWordEntry, kTlvDevelopEntries, kFullRange, curve, kWordEntry, curveEntries, kFullRange,
                    channel.get(), kWordEntry, kTlvDevelopEntries, kFullRange);
    }
}

} // namespace

bool UsesCameraCurvePath(const CTlvParamSet& params)
{
    const CTlAdjustState* adjust = params.Adjust();
    if (adjust != nullptr && adjust->ColourSpaceChoice() == 3)
        return true;
    return params.modelCode == 257 && (adjust == nullptr || adjust->ColourSpaceChoice() == 0);
}

int CameraCurveIndex(const CTlvParamSet& params)
{
    const CTlAdjustState* adjust = params.Adjust();
    if (adjust != nullptr && adjust->ToneMode() != 0)
        return CurveIndexOfToneMode(adjust->ToneMode());
    return ReadLongTagOr(params.tags, kTlvCurveIndexTag, 0);
}

void FillCameraCurve(const CTlvParamSet& params, int index, std::uint16_t* table)
{
    switch (index) {
    case 1:
    case 5: BuildPresetGammaTable(table, 12, 0); break;
    case 2:
    case 6: BuildPresetGammaTable(table, 12, 2); break;
    case 16: BuildToneTable(params.tags, params.RawDevelopment(), table, 12); break;
    default: BuildPresetGammaTable(table, 12, 1); break;
    }
}

void FillSrgbCurve(std::uint16_t* table)
{
    for (int i = 0; i <= kSrgbLinearEnd; ++i)
        table[i] = ToneTableEntry(i * 12.92);
    for (int i = kSrgbLinearEnd + 1; i < kTlvSrgbEntries; ++i)
        table[i] = ToneTableEntry((1.055 * std::pow(i / 65535.0, 1.0 / 2.4) - 0.055) * 65535.0);
}

IKelvraError* ApplyDevelopToneCurve(const CTlvParamSet& params, STlLutTables& channels)
{
    const bool camera = UsesCameraCurvePath(params);
    const int curveEntries = camera ? kTlvDevelopEntries : kTlvSrgbEntries;
    TlLutTable curve = NewLutTable(curveEntries);
    TlLutTable work = NewLutTable(curveEntries);
    if (!curve || !work)
        return OutOfMemory(__LINE__);
    if (camera)
        FillCameraCurve(params, CameraCurveIndex(params), curve.get());
    else
        FillSrgbCurve(curve.get());
    ComposeChannels(channels, work.get(), curve.get(), curveEntries);
    return nullptr;
}
