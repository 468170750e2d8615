#include "params/TlDevelopParams.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "params/TlDevelopTags.h"
#include "params/TlvParamSet.h"

#include <cmath>
#include <limits>

namespace {

// Gains are fixed-point: `unit` stands for 1.0, and the library takes no
// more than `maximum`.
struct SGainScale {
    int unit;
    int maximum;
};

SGainScale GainScaleOf(std::uint16_t modelCode)
{
    return modelCode <= 514 ? SGainScale{128, 512} : SGainScale{256, 1024};
}

// Truncated, in [0, maximum]: a multiplier read from a file may be anything.
int FixedGain(double multiplier, const SGainScale& scale)
{
    const double scaled = SaneMultiplier(multiplier) * scale.unit;
    return scaled >= scale.maximum ? scale.maximum : static_cast<int>(scaled);
}

struct SBalance {
    int red;
    int blue;
    int code; // 0 as shot, 1 the camera's own preset, 2 the user's gains
};

constexpr std::int32_t kCameraPreset = 256;

SBalance ChooseBalance(const CTlvParamSet& params, const SGainScale& scale)
{
    const CTlWhiteBalanceState* balance = params.WhiteBalance();
    if (balance == nullptr || balance->mode == CTlWhiteBalanceState::kModeAsShot)
        return {FixedGain(params.asShotRed, scale), FixedGain(params.asShotBlue, scale), 0};
    const bool cameraPreset =
        balance->mode == CTlWhiteBalanceState::kModeTemperature && balance->preset == kCameraPreset;
    return {FixedGain(balance->firstGain, scale), FixedGain(balance->secondGain, scale), cameraPreset ? 1 : 2};
}

int SharpeningCode(const CTlAdjustState* adjust)
{
    if (adjust == nullptr || adjust->SharpeningLevel() == 0)
        return 1;
    switch (adjust->SharpeningLevel()) {
    case 2: return 2;
    case 3: return 0;
    case 4: return 3;
    default: return 4;
    }
}

int ToneCode(const CTlAdjustState* adjust)
{
    if (adjust == nullptr)
        return 1;
    switch (adjust->ToneMode()) {
    case 0: return 1;
    case 2:
    case 5: return 3;
    case 3:
    case 6: return 2;
    default: return 0;
    }
}

constexpr int kUnitExposure = 256;

int ExposureValue(const CTlAdjustState* adjust)
{
    if (adjust == nullptr || adjust->ExposureCompensation() == 0.0 || std::isnan(adjust->ExposureCompensation()))
        return kUnitExposure;
    const double value = std::exp2(adjust->ExposureCompensation()) * kUnitExposure;
    const double top = std::numeric_limits<std::int32_t>::max();
    return value >= top ? std::numeric_limits<std::int32_t>::max() : static_cast<int>(value);
}

int ToneValue(const IKelvraTagControl* tags)
{
    switch (ReadToneSetting(tags)) {
    case -2: return 192;
    case -1: return 224;
    case 1: return 288;
    default: return 256;
    }
}

// Stores `value`; true when it differed.
bool Store(int& slot, int value)
{
    if (slot == value)
        return false;
    slot = value;
    return true;
}

// Gives the library the white balance; true when it says the mode changed.
bool ApplyBalance(CSigProcImage& image, const SBalance& balance)
{
    bool modeChanged = false;
    IKelvraError* error = image.SetWhiteBalance(balance.red, balance.blue, balance.code, &modeChanged);
    if (error == nullptr)
        return modeChanged;
    IKelvraError::Release(error);
    return false;
}

} // namespace

bool UpdateDevelopParams(CTlvParamSet& params, bool apply, bool notify)
{
    if (params.rawFlag == 0 || !params.IsSignalProcessingModel())
        return false;
    auto* image = dynamic_cast<CSigProcImage*>(params.image);
    if (image == nullptr)
        return false;
    int block[kSigProcParamCount] = {};
    image->GetParams(block);
    params.NormalizeForModel();

    const SBalance balance = ChooseBalance(params, GainScaleOf(params.modelCode));
    bool changed = Store(block[kTlDevelopRedGain], balance.red);
    changed = Store(block[kTlDevelopBlueGain], balance.blue) || changed;
    const bool libraryChanged = ApplyBalance(*image, balance);
    changed = changed || libraryChanged;

    const CTlAdjustState* adjust = params.Adjust();
    changed = Store(block[kTlDevelopSharpening], SharpeningCode(adjust)) || changed;
    changed = Store(block[kTlDevelopTone], ToneCode(adjust)) || changed;
    changed = Store(block[kTlDevelopExposure], ExposureValue(adjust)) || changed;
    changed = Store(block[kTlDevelopToneValue], ToneValue(params.tags)) || changed;
    if (!changed || !apply)
        return changed;
    IKelvraError* error = image->SetParams(block, notify);
    if (error == nullptr)
        return true;
    IKelvraError::Release(error);
    return false;
}
