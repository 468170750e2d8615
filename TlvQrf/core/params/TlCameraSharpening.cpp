// The sharpening a raw image gets by itself: the user's sharpening level,
// or else what the camera recorded, as a preset chosen by sensitivity.
#include "params/TlSharpeningPresets.h"

#include "kelvra/KelvraTagControl.h"
#include "params/TlSharpeningTables.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"

#include <cmath>
#include <cstring>

namespace {

// Type 260: two unsigned 16-bit values, the second the sensitivity.
constexpr std::uint32_t kSensitivityTag = 0x80002;
// Type 3: the camera's sharpening code.
constexpr std::uint32_t kSharpeningCodeTag = 0x80006;
// Type 265: the camera's colour data, which holds the sharpening step.
constexpr std::uint32_t kColourDataTag = 0x80097;
constexpr std::uint32_t kColourDataSize = 304;

constexpr std::uint16_t kDefaultSensitivity = 100;
constexpr std::uint16_t kMaxSensitivity = 0xFFFF;
constexpr long kTenStepCode = 9;

// The sensitivity, raised or lowered by the exposure compensation. Bounded
// to the 16 bits it is kept in, so a large compensation cannot wrap round
// into a low sensitivity.
std::uint16_t ScaledSensitivity(std::uint16_t sensitivity, const CTlAdjustState* adjust)
{
    const double ev = adjust ? adjust->ExposureCompensation() : 0.0;
    if (ev == 0.0 || !std::isfinite(ev))
        return sensitivity;
    const double scaled = std::trunc(std::exp2(ev) * sensitivity);
    if (!(scaled > 0.0))
        return 0;
    return scaled >= kMaxSensitivity ? kMaxSensitivity : static_cast<std::uint16_t>(scaled);
}

std::uint16_t Sensitivity(const CTlvParamSet& params)
{
    std::uint16_t values[2] = {0, 0};
    if (!ReadTagQuietly(params.tags, kSensitivityTag, kKelvraTagTypeUShorts2, sizeof values, values))
        return kDefaultSensitivity;
    return ScaledSensitivity(values[1], params.Adjust());
}

struct ColourData {
    unsigned char bytes[kColourDataSize];
};

bool ReadColourData(const IKelvraTagControl* tags, ColourData& data)
{
    return ReadTagQuietly(tags, kColourDataTag, kKelvraTagTypeColorData, sizeof data.bytes, data.bytes);
}

// Cameras 260 and 1026 keep the preset index itself in their colour data,
// at a place that depends on the data's version.
int IndexFromColourData(const IKelvraTagControl* tags)
{
    ColourData data;
    if (!ReadColourData(tags, data))
        return 0;
    if (std::memcmp(data.bytes, "0102", 4) == 0)
        return data.bytes[275];
    if (std::memcmp(data.bytes, "0103", 4) == 0)
        return data.bytes[155];
    return 0;
}

// The ten-step code keeps its step in the colour data's seventh byte.
int IndexFromTenSteps(const IKelvraTagControl* tags)
{
    ColourData data;
    return ReadColourData(tags, data) ? SharpeningIndexForStep(data.bytes[6]) : 0;
}

// Other cameras record a code: 1 to 5 stand for levels 2 to 6.
int IndexFromCameraCode(const CTlvParamSet& params, std::uint16_t sensitivity)
{
    std::int32_t code = 0;
    if (!ReadTagQuietly(params.tags, kSharpeningCodeTag, kKelvraTagTypeLong, sizeof code, &code))
        return 0;
    if (code == kTenStepCode)
        return IndexFromTenSteps(params.tags);
    if (code >= 1 && code <= 5)
        return SharpeningIndexForLevel(code + 1, sensitivity);
    return 0;
}

int PresetIndex(const CTlvParamSet& params)
{
    const std::uint16_t sensitivity = Sensitivity(params);
    const CTlAdjustState* adjust = params.Adjust();
    if (adjust && adjust->SharpeningLevel() != 0)
        return SharpeningIndexForLevel(adjust->SharpeningLevel(), sensitivity);
    if (params.modelCode == 260 || params.modelCode == 1026)
        return IndexFromColourData(params.tags);
    return IndexFromCameraCode(params, sensitivity);
}

} // namespace

bool GetCameraSharpening(const CTlvParamSet* params, CTlUsmState* record)
{
    CTlUsmState local;
    CTlUsmState& usm = record ? *record : local;
    usm = CTlUsmState();
    if (!params || params->rawFlag == 0 || params->IsSignalProcessingModel())
        return false;
    // SharpeningPreset turns an index past the table into preset 0.
    const TlSharpeningPreset preset = SharpeningPreset(PresetIndex(*params));
    usm.SetSharpening(preset.amount, preset.radius, preset.threshold);
    return usm.Amount() != 0;
}
