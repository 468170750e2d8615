#include "settings/whitebalance/TlWhiteBalance.h"

namespace {

struct PresetKelvin {
    std::int32_t preset;
    std::uint16_t kelvin;
};

constexpr PresetKelvin kPresetKelvins[] = {
    {256, 3000}, {512, 5200}, {513, 8000}, {514, 6000}, {1280, 5400}, {4098, 4200},
};

} // namespace

std::uint16_t WhiteBalancePresetToKelvin(std::int32_t preset)
{
    for (const PresetKelvin& entry : kPresetKelvins) {
        if (entry.preset == preset)
            return entry.kelvin;
    }
    return 0;
}
